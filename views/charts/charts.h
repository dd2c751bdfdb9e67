#pragma once
// The chart host CZorChartBasic (a Qt Charts view inside the element) and its
// two kinds: the trend chart of the measurement views and the positioner's
// signature chart.

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <span>
#include <vector>

#include "views/charts/trend_history.h"
#include "views/elements/viewing_element.h"

namespace views::charts {

class CZorChartBasic : public elements::CZorViewingElement {
public:
    QChart* chart() const { return chart_; }

protected:
    // Makes the chart view at the element's rectangle and observes `ids`.
    void createHost(std::span<const std::int32_t> ids);
    // Changes made between begin and end are drawn once, at the end.
    void beginChange();
    void endChange();

private:
    QChartView* view_ = nullptr;
    QChart* chart_ = nullptr;
};

class TrendChart : public CZorChartBasic {
public:
    void create(std::span<const std::int32_t> ids, double lowerPercent = 0, double upperPercent = 100);
    void onChanged(std::int32_t id) override;
    const TrendHistory& history() const { return history_; }

private:
    void redraw();

    std::vector<std::int32_t> observed_;
    TrendHistory history_{0};
    std::vector<QLineSeries*> series_;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    double minimum_ = 0;
    double maximum_ = 100;
    double lowerPercent_ = 0;
    double upperPercent_ = 100;
};

class SignatureChart : public CZorChartBasic {
public:
    // ids: 9 samples of the first curve, 9 of the second, lower and upper bound.
    void create(std::span<const std::int32_t> ids);
    void onChanged(std::int32_t id) override;
    const QLineSeries* first() const { return first_; }
    const QLineSeries* second() const { return second_; }

private:
    std::vector<std::int32_t> observed_;
    QLineSeries* first_ = nullptr;
    QLineSeries* second_ = nullptr;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* yAxis_ = nullptr;
};

}  // namespace views::charts
