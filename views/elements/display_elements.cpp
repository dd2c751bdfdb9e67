#include "views/elements/display_elements.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

namespace views::elements {
namespace {

// A check box that only the program ticks: a click leaves its state alone.
class ProgramTickedBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

bool hasLetterF(std::string_view format) {
    return format.find('f') != std::string_view::npos;
}

}  // namespace

std::string keyText(const EngineCalls& engine, std::string_view key, std::int32_t id,
                    std::string_view format) {
    if (key == "ParaName") return engine.name(id);
    if (key == "ParaDescription") return engine.description(id);
    if (key == "ParaValue") {
        const std::string value = engine.value(id);
        if (!hasLetterF(format)) return value;
        return scaledText(format, leadingNumber(value), scalingFactor(engine.scaling(id)),
                          engine.translatedUnit(id));
    }
    if (key == "ParaMinRange" || (key == "ParaMaxRange" && hasLetterF(format))) {
        const auto [low, high] = rangeBounds(engine.range(id));
        const double bound = key == "ParaMinRange" ? low : high;
        return scaledText(format, bound, scalingFactor(engine.scaling(id)),
                          engine.translatedUnit(id));
    }
    return std::string(key);
}

void Panel::create(bool hidden) {
    auto* widget = new QWidget(host());
    widget->setAutoFillBackground(true);
    if (hidden) widget->hide();
    finishCreate(widget, -1, false);
}

void GroupBox::create(std::string key, std::int32_t id) {
    setLabelKey(std::move(key));
    box_ = new QGroupBox(host());
    finishCreate(box_, id, false);
}

void GroupBox::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!box_) return;
    const EngineCalls calls = engine();
    const std::int32_t main = mainId();
    std::string caption;
    if (labelKey() == "ParaName") {
        caption = calls.name(main);
    } else if (labelKey() == "ParaValue") {
        caption = calls.value(main) + " " + calls.unit(main);
    } else if (labelKey() == "ParaMinRange" || labelKey() == "ParaMaxRange") {
        const auto [low, high] = rangeBounds(calls.range(main));
        caption = formatNumber("%g", labelKey() == "ParaMinRange" ? low : high);
    } else {
        caption = labelKey();
    }
    box_->setTitle(QString::fromStdString(literalAmpersands(calls.translate(caption))));
}

void TextElement::create(std::string key, std::int32_t id, std::string format, bool rightAligned) {
    setLabelKey(std::move(key));
    setFormat(std::move(format));
    label_ = new QLabel(host());
    label_->setTextFormat(Qt::PlainText);
    // Like a static control, long texts wrap; a box taller than one line (the
    // help texts) starts at its top.
    label_->setWordWrap(true);
    const bool oneLine = designRect().height() <= 30;
    label_->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                         (oneLine ? Qt::AlignVCenter : Qt::AlignTop));
    finishCreate(label_, id, true);
}

void TextElement::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!label_) return;
    const EngineCalls calls = engine();
    const std::string text = calls.translate(keyText(calls, labelKey(), mainId(), format()));
    // A plain-text label shows "&" as it is; no mnemonic is taken from it.
    const QString shown = QString::fromStdString(text);
    if (label_->text() != shown) label_->setText(shown);
}

QString TextElement::shownText() const {
    return label_ ? label_->text() : QString();
}

std::string bitmapPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    std::string file(name);
    std::replace(file.begin(), file.end(), '\\', '/');
    if (!path.empty() && path.back() == '/' && !file.empty() && file.front() == '/')
        path.pop_back();
    return path + file;
}

void BitmapElement::create(std::string name) {
    setLabelKey(name);
    auto* label = new QLabel(host());
    const std::string directory = context() ? context()->bitmapDirectory : std::string();
    QImage image;
    if (image.load(QString::fromStdString(bitmapPath(directory, name)))) {
        label->setPixmap(QPixmap::fromImage(image));
        loaded_ = true;
    }
    finishCreate(label, -1, false);
}

void StateBox::create(std::string key, std::int32_t id, std::string condition, std::string script,
                      bool withCaption, bool readOnly) {
    setLabelKey(key);
    condition_ = std::move(condition);
    script_ = std::move(script);
    readOnly_ = readOnly;
    box_ = new ProgramTickedBox(host());
    if (withCaption && id > 0) {
        const EngineCalls calls = engine();
        std::string caption = key == "ParaName"    ? calls.name(id)
                              : key == "ParaState" ? condition_
                                                   : calls.translate(key);
        box_->setText(QString::fromStdString(literalAmpersands(caption)));
    }
    QObject::connect(box_, &QCheckBox::clicked, box_, [this] { click(); });
    finishCreate(box_, id, true);
}

void StateBox::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!box_ || mainId() < 0) return;
    const EngineCalls calls = engine();
    const std::string value = calls.value(mainId());
    if (!readOnly_) box_->setEnabled(calls.isValid(mainId()));
    const bool tick = conditionHolds(value, condition_);
    if (box_->isChecked() != tick) box_->setChecked(tick);
}

void StateBox::click() {
    const EngineCalls calls = engine();
    if (mainId() >= 0) calls.setValue(mainId(), ticked() ? std::string("0") : condition_);
    if (!script_.empty()) calls.doAction(script_, nullptr);
}

bool StateBox::ticked() const {
    return box_ && box_->isChecked();
}

}  // namespace views::elements
