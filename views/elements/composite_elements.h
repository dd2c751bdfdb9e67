#pragma once
// Elements made of other elements: the value row (name, value field and the
// changed mark) and the bar gauge.

#include <QLabel>
#include <QProgressBar>
#include <string>

#include "views/elements/viewing_element.h"

namespace views::elements {

class ValueField;

// Shows icon 208 while the parameter is changed, icon 207 otherwise.
class ChangedMark : public CZorViewingElement {
public:
    void create(std::int32_t id);
    void onChanged(std::int32_t id) override;
    int shownIcon() const { return shown_; }

private:
    QLabel* icon_ = nullptr;
    int shown_ = 0;
};

// Name on the left, value field on the right, 19 pixels high; the split at
// `split` percent of the width. `nameKey` empty: the parameter's name.
class ValueRow : public CZorViewingElement {
public:
    static constexpr int kHeight = 19;
    static constexpr int kMarkWidth = 17;
    void create(std::string nameKey, std::int32_t id, std::string format, int split, bool readOnly,
                bool noScaling, bool changedMark);
    ValueField* field() const { return field_; }
    ChangedMark* mark() const { return mark_; }

private:
    ValueField* field_ = nullptr;
    ChangedMark* mark_ = nullptr;
};

// A labelled horizontal bar with the value, the minimum and the maximum.
// minimum == maximum == 0: the bounds come from the parameter's range.
class BarGauge : public CZorViewingElement {
public:
    void create(std::string labelKey, std::int32_t id, std::string format, long minimum,
                long maximum);
    void onChanged(std::int32_t id) override;
    // The bar stretches with the gauge.
    void resizeTo(Size parentSize) override;
    const QProgressBar* bar() const { return bar_; }
    const GaugeScale& scale() const { return scale_; }

private:
    QProgressBar* bar_ = nullptr;
    GaugeScale scale_{};
};

}  // namespace views::elements
