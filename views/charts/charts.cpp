#include "views/charts/charts.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

namespace views::charts {

void CZorChartBasic::createHost(std::span<const std::int32_t> ids) {
    chart_ = new QChart;
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setAnimationOptions(QChart::NoAnimation);
    view_ = new QChartView(chart_, host());
    view_->setRenderHint(QPainter::Antialiasing, false);
    finishCreate(view_, -1, false);
    for (std::int32_t id : ids) {
        if (id >= 0) observe(id);
    }
}

void CZorChartBasic::beginChange() {
    if (view_) view_->setUpdatesEnabled(false);
}

void CZorChartBasic::endChange() {
    if (!view_) return;
    view_->setUpdatesEnabled(true);
    view_->update();
}

void TrendChart::create(std::span<const std::int32_t> ids, double lowerPercent, double upperPercent) {
    observed_.assign(ids.begin(), ids.end());
    history_ = TrendHistory(observed_.size());
    lowerPercent_ = lowerPercent;
    upperPercent_ = upperPercent;
    createHost(ids);
    if (!chart()) return;
    const views::EngineCalls calls = engine();
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));  // "%H:%M:%S"
    timeAxis_->setTickCount(6);
    valueAxis_ = new QValueAxis;
    chart()->addAxis(timeAxis_, Qt::AlignBottom);
    chart()->addAxis(valueAxis_, Qt::AlignLeft);
    for (std::int32_t id : observed_) {
        const std::vector<double> numbers = elements::rangeNumbers(calls.range(id));
        if (numbers.size() >= 2) {
            low = std::min(low, numbers[0]);
            high = std::max(high, numbers[1]);
        }
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(calls.translate(calls.name(id))));
        chart()->addSeries(series);
        series->attachAxis(timeAxis_);
        series->attachAxis(valueAxis_);
        series_.push_back(series);
    }
    if (low <= high) {
        minimum_ = low;
        maximum_ = high;
    }
    onChanged(observed_.empty() ? -1 : observed_.front());
}

void TrendChart::onChanged(std::int32_t id) {
    if (!chart() || std::find(observed_.begin(), observed_.end(), id) == observed_.end()) return;
    const elements::ViewContext* view = context();
    const std::int64_t now = view && view->secondsNow ? view->secondsNow(*view) : 0;
    const views::EngineCalls calls = engine();
    std::vector<double> values;
    for (std::int32_t observed : observed_) {
        values.push_back(elements::leadingNumber(calls.value(observed)) *
                         elements::scalingFactor(calls.scaling(observed)));
    }
    if (!history_.sample(now, values)) return;
    redraw();
}

void TrendChart::redraw() {
    beginChange();
    const std::int64_t last = history_.lastSample().value_or(0);
    const std::int64_t first = last - (TrendHistory::kSamples - 1);
    for (std::size_t p = 0; p < series_.size(); ++p) {
        QList<QPointF> points;
        points.reserve(TrendHistory::kSamples);
        const auto& history = history_.history(p);
        for (int i = 0; i < TrendHistory::kSamples; ++i)
            points.append(QPointF(static_cast<double>((first + i) * 1000), history[i]));
        series_[p]->replace(points);
    }
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(first * 1000),
                        QDateTime::fromMSecsSinceEpoch(last * 1000));
    // The ends are rounded outwards to a span divisible by 5.
    const ValueWindow window = visibleRange(minimum_, maximum_, lowerPercent_, upperPercent_);
    double low = std::floor(window.low / 5.0) * 5.0;
    double high = std::ceil(window.high / 5.0) * 5.0;
    if (high <= low) high = low + 5.0;
    valueAxis_->setRange(low, high);
    endChange();
}

void SignatureChart::create(std::span<const std::int32_t> ids) {
    observed_.assign(ids.begin(), ids.end());
    observed_.resize(20, -1);
    createHost(ids);
    if (!chart()) return;
    const views::EngineCalls calls = engine();
    first_ = new QLineSeries;
    second_ = new QLineSeries;
    first_->setName(QStringLiteral("1"));
    second_->setName(QStringLiteral("2"));
    chart()->legend()->hide();
    xAxis_ = new QValueAxis;
    yAxis_ = new QValueAxis;
    xAxis_->setTitleText(QString::fromStdString(calls.translate("position_perc")));
    yAxis_->setTitleText(QString::fromStdString(calls.translate("pressure_psi")));
    xAxis_->setRange(0, 100);
    chart()->addAxis(xAxis_, Qt::AlignBottom);
    chart()->addAxis(yAxis_, Qt::AlignLeft);
    for (QLineSeries* series : {first_, second_}) {
        chart()->addSeries(series);
        series->attachAxis(xAxis_);
        series->attachAxis(yAxis_);
    }
    onChanged(observed_.front());
}

void SignatureChart::onChanged(std::int32_t id) {
    if (!first_ || std::find(observed_.begin(), observed_.end(), id) == observed_.end()) return;
    const views::EngineCalls calls = engine();
    const auto read = [&](std::size_t index) {
        return observed_[index] >= 0 ? elements::leadingNumber(calls.value(observed_[index])) : 0.0;
    };
    std::array<double, 9> a{}, b{};
    for (std::size_t j = 0; j < 9; ++j) {
        a[j] = read(j);
        b[j] = read(9 + j);
    }
    const auto points = signaturePoints(a, b, read(18), read(19));
    beginChange();
    QList<QPointF> one, two;
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (const SignaturePoint& point : points) {
        one.append(QPointF(point.x, point.y1));
        two.append(QPointF(point.x, point.y2));
        low = std::min({low, point.y1, point.y2});
        high = std::max({high, point.y1, point.y2});
    }
    first_->replace(one);
    second_->replace(two);
    yAxis_->setRange(low, high > low ? high : low + 1.0);
    endChange();
}

}  // namespace views::charts
