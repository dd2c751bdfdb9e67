#include "views/elements/composite_elements.h"

#include <algorithm>

#include "views/elements/display_elements.h"
#include "views/elements/edit_controls.h"
#include "views/elements/module_icons.h"

namespace views::elements {

void ChangedMark::create(std::int32_t id) {
    icon_ = new QLabel(host());
    finishCreate(icon_, id, false);
}

void ChangedMark::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!icon_ || mainId() < 0) return;
    const int wanted = engine().isChanged(mainId()) ? kIconChanged : kIconUnchanged;
    if (wanted == shown_) return;
    shown_ = wanted;
    if (const ViewContext* view = context()) {
        auto [icon, drawn] = view->markIcons.try_emplace(wanted);
        if (drawn) icon->second = markIcon(wanted);
        icon_->setPixmap(icon->second);
    }
}

void ValueRow::create(std::string nameKey, std::int32_t id, std::string format, int split,
                      bool readOnly, bool noScaling, bool changedMark) {
    setLabelKey(nameKey);
    auto* row = new QWidget(host());
    finishCreate(row, -1, false);
    const Rect design = designRect();
    const int width = design.width();
    const int splitAt = width * (split > 0 ? split : 50) / 100;
    const int fieldEnd = changedMark ? width - kMarkWidth : width;
    const auto context = sharedContext();
    if (auto* name = make<TextElement>(this, row, {0, 0, splitAt - 1, kHeight}, panels::kFixed, context))
        name->create(nameKey.empty() ? "ParaName" : nameKey, id, "&s", false);
    field_ = make<ValueField>(this, row, {splitAt, 0, fieldEnd, kHeight}, panels::kStretchWidth, context);
    if (field_) field_->create(id, std::move(format), readOnly, noScaling);
    if (changedMark) {
        mark_ = make<ChangedMark>(this, row, {fieldEnd + 1, 1, fieldEnd + 17, 17},
                                  panels::kFollowRight, context);
        if (mark_) mark_->create(id);
    }
}

void BarGauge::create(std::string labelKey, std::int32_t id, std::string format, long minimum,
                      long maximum) {
    setLabelKey(labelKey);
    auto* gauge = new QWidget(host());
    gauge->setGeometry(toQRect(designRect()));
    const int w = designRect().width();
    const auto context = sharedContext();
    if (auto* label = make<TextElement>(this, gauge, {5, 15, w - 70, 30}, panels::kFixed, context))
        label->create(labelKey, -1, "&s", false);
    if (auto* value = make<ValueField>(this, gauge, {w - 70, 5, w - 5, 25}, panels::kFollowRight, context))
        value->create(id, format, false, false);
    bar_ = new QProgressBar(gauge);
    bar_->setGeometry(5, 30, w - 10, 20);
    bar_->setTextVisible(false);
    const bool fromRange = minimum == 0 && maximum == 0;
    if (fromRange) {
        if (auto* low = make<TextElement>(this, gauge, {5, 55, w / 2, 75}, panels::kFixed, context))
            low->create("ParaMinRange", id, format, false);
        if (auto* high = make<TextElement>(this, gauge, {w / 2, 55, w - 5, 75}, panels::kFollowRight, context))
            high->create("ParaMaxRange", id, format, true);
        const std::vector<double> bounds = rangeNumbers(engine().range(id));
        if (bounds.size() >= 2) {
            minimum = static_cast<long>(bounds[0]);
            maximum = static_cast<long>(bounds[1]);
        }
    } else {
        if (auto* low = make<TextElement>(this, gauge, {5, 55, w / 2, 75}, panels::kFixed, context))
            low->create(std::to_string(minimum), -1, "&s", false);
        if (auto* high = make<TextElement>(this, gauge, {w / 2, 55, w - 5, 75}, panels::kFollowRight, context))
            high->create(std::to_string(maximum), -1, "&s", true);
    }
    scale_ = gaugeScale(minimum, maximum);
    bar_->setRange(0, scale_.maximum());
    finishCreate(gauge, id, false);
}

void BarGauge::resizeTo(Size parentSize) {
    CZorViewingElement::resizeTo(parentSize);
    if (bar_ && outerWidget()) bar_->resize(std::max(0, outerWidget()->width() - 10), bar_->height());
}

void BarGauge::onChanged(std::int32_t id) {
    CZorViewingElement::onChanged(id);
    if (!bar_ || mainId() < 0) return;
    const int position = scale_.position(leadingNumber(engine().value(mainId())));
    bar_->setValue(std::clamp(position, 0, scale_.maximum()));
}

}  // namespace views::elements
