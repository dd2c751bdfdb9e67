#include "views/elements/edit_controls.h"

#include <QEvent>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "views/elements/display_elements.h"

namespace views::elements {

// Relays the line edit's focus changes to its value field.
class FocusWatch final : public QObject {
public:
    explicit FocusWatch(ValueField& field) : field_(&field) {}
    void detach() { field_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (field_ && event->type() == QEvent::FocusIn) field_->focusGained();
        if (field_ && event->type() == QEvent::FocusOut) field_->focusLost();
        return QObject::eventFilter(watched, event);
    }

private:
    ValueField* field_;
};

ValueField::~ValueField() {
    if (auto* watch = static_cast<FocusWatch*>(focusWatch_.data())) watch->detach();
}

void ValueField::create(std::int32_t id, std::string displayFormat, bool readOnly, bool noScaling) {
    setFormat(std::move(displayFormat));
    readOnly_ = readOnly;
    noScaling_ = noScaling;
    edit_ = new QLineEdit(host());
    edit_->setReadOnly(readOnly);
    auto* watch = new FocusWatch(*this);
    watch->setParent(edit_);
    edit_->installEventFilter(watch);
    focusWatch_ = watch;
    QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] { textChanged(); });
    const bool textFormat = format().find('s') != std::string::npos &&
                            format().find('f') == std::string::npos && format().find('b') == std::string::npos;
    if (id >= 0 && textFormat) {
        // A text format limits the field to the parameter's size.
        const long size = leadingInteger(engine().size(id));
        if (size > 0) edit_->setMaxLength(static_cast<int>(size));
    }
    finishCreate(edit_, id, true);
}

void ValueField::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!edit_ || mainId() < 0) return;
    const EngineCalls calls = engine();
    if (!readOnly_) edit_->setEnabled(calls.isValid(mainId()) && calls.isWriteable(mainId()));
    if (!editing_) showEngineValue();
}

void ValueField::showEngineValue() {
    const EngineCalls calls = engine();
    const std::int32_t id = mainId();
    const std::string format = this->format();
    const bool numeric = format.find('f') != std::string::npos;
    const std::string text = fieldText(format, calls.value(id), numeric ? calls.scaling(id) : "",
                                       numeric ? calls.translatedUnit(id) : "", noScaling_);
    const QString shown = QString::fromStdString(text);
    if (shown == edit_->text()) return;
    const int cursor = edit_->cursorPosition();
    programSetsText_ = true;
    edit_->setText(shown);
    programSetsText_ = false;
    edit_->setCursorPosition(std::min(cursor, static_cast<int>(shown.size())));
}

void ValueField::focusGained() {
    editing_ = true;
}

void ValueField::focusLost() {
    editing_ = false;
    if (!edit_ || mainId() < 0) return;
    if (!engine().isOutOfRange(mainId()) || edit_->text().isEmpty()) showEngineValue();
}

void ValueField::textChanged() {
    if (programSetsText_ || readOnly_ || mainId() < 0 || !edit_) return;
    commit(edit_->text().toStdString());
}

void ValueField::commit(const std::string& text) {
    const EngineCalls calls = engine();
    const std::int32_t id = mainId();
    if (format().find('f') != std::string::npos) {
        const std::optional<double> number = typedNumber(text, calls.translatedUnit(id));
        if (!number) {
            calls.setOutOfRange(id, true);
            return;
        }
        calls.setValue(id, numericCommitText(*number, calls.scaling(id), noScaling_));
        return;
    }
    if (format().find('b') != std::string::npos) {
        const std::optional<std::string> number = fromBinaryDigits(text);
        if (!number) {
            calls.setOutOfRange(id, true);
            return;
        }
        calls.setValue(id, *number);
        return;
    }
    calls.setValue(id, text);
}

void EnumBox::create(std::string labelKey, std::int32_t id, std::string format, bool editable) {
    setLabelKey(labelKey);
    setFormat(std::move(format));
    box_ = new QComboBox(host());
    box_->setEditable(editable);
    const EngineCalls calls = engine();
    for (const EnumEntry& entry : enumEntries(calls.range(id))) {
        std::string text = calls.translate(entry.label);
        if (!labelKey.empty()) {
            const std::string key = enumTranslationKey(labelKey, entry.number);
            const std::string specific = calls.translate(key);
            if (specific != key) text = specific;
        }
        box_->addItem(QString::fromStdString(text), QVariant::fromValue<qlonglong>(entry.number));
    }
    QObject::connect(box_, &QComboBox::activated, box_, [this](int index) { chosen(index); });
    if (editable) {
        QObject::connect(box_->lineEdit(), &QLineEdit::textEdited, box_,
                         [this](const QString& text) { typed(text); });
    }
    finishCreate(box_, id, true);
}

void EnumBox::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!box_ || mainId() < 0) return;
    const EngineCalls calls = engine();
    box_->setEnabled(calls.isValid(mainId()) && calls.isWriteable(mainId()));
    const std::string value = calls.value(mainId());
    int index = box_->findText(QString::fromStdString(value), Qt::MatchExactly);
    if (index < 0) {
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (end != value.c_str()) index = box_->findData(QVariant::fromValue<qlonglong>(number));
    }
    programSelects_ = true;
    if (index >= 0 && index != box_->currentIndex()) box_->setCurrentIndex(index);
    if (box_->isEditable() && format().find('f') != std::string::npos) {
        const std::string text = fieldText(format(), value, calls.scaling(mainId()),
                                           calls.translatedUnit(mainId()), false);
        box_->setEditText(QString::fromStdString(text));
    }
    programSelects_ = false;
}

void EnumBox::chosen(int index) {
    if (programSelects_ || !box_ || mainId() < 0 || index < 0) return;
    const QVariant data = box_->itemData(index);
    const EngineCalls calls = engine();
    if (data.isValid()) {
        calls.setValue(mainId(), std::to_string(data.toLongLong()));
    } else {
        calls.setValue(mainId(), box_->currentText().toStdString());
    }
}

void EnumBox::typed(const QString& text) {
    if (programSelects_ || mainId() < 0 || format().find('f') == std::string::npos) return;
    const EngineCalls calls = engine();
    const std::optional<double> number = typedNumber(text.toStdString(), calls.translatedUnit(mainId()));
    if (!number) {
        calls.setOutOfRange(mainId(), true);
        return;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%1.4f", *number / scalingFactor(calls.scaling(mainId())));
    calls.setValue(mainId(), buffer);
}

void EnumRow::create(std::string labelKey, std::int32_t id, std::string format, bool editable,
                     int split) {
    auto* row = new QWidget(host());
    finishCreate(row, -1, false);
    const Rect design = designRect();
    const int nameWidth = design.width() * split / 100;
    const auto context = sharedContext();
    if (auto* name = make<TextElement>(this, row, {0, 0, nameWidth - 1, design.height()},
                                       panels::kLeftColumn, context))
        name->create("ParaName", id, "&s", false);
    if (auto* box = make<EnumBox>(this, row, {nameWidth, 0, design.width(), design.height()},
                                  panels::kRightColumn, context))
        box->create(std::move(labelKey), id, std::move(format), editable);
}

void ActionButton::create(std::string captionKey, std::string script, std::int32_t enableId) {
    setLabelKey(captionKey);
    script_ = std::move(script);
    enableId_ = enableId;
    button_ = new QPushButton(host());
    button_->setText(QString::fromStdString(literalAmpersands(engine().translate(captionKey))));
    QObject::connect(button_, &QPushButton::clicked, button_, [this] { press(); });
    finishCreate(button_, enableId > 0 ? enableId : -1, false);
}

void ActionButton::onChanged(std::int32_t) {
    if (button_ && enableId_ > 0) button_->setEnabled(engine().isValid(enableId_));
}

void ActionButton::press() {
    if (!script_.empty()) engine().doAction(script_, nullptr);
}

}  // namespace views::elements
