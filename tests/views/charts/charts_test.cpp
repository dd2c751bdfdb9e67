// The trend and signature charts: sampling, ranges and points.

#include <gtest/gtest.h>

#include "tests/views/support/view_test_support.h"
#include "views/charts/charts.h"

namespace {

using namespace std::chrono_literals;
using views::charts::TrendHistory;
using views_test::ElementBench;

TEST(TrendHistory, AtMostOneSampleASecondShiftedByTheElapsedSeconds) {
    TrendHistory history(1);
    EXPECT_TRUE(history.sample(100, {5}));
    EXPECT_FALSE(history.sample(100, {6}));
    EXPECT_TRUE(history.sample(102, {7}));
    const auto& samples = history.history(0);
    EXPECT_EQ(samples[TrendHistory::kSamples - 1], 7);
    EXPECT_EQ(samples[TrendHistory::kSamples - 2], 7);
    EXPECT_EQ(samples[TrendHistory::kSamples - 3], 5);
    EXPECT_TRUE(history.sample(5000, {9}));  // a long gap shifts by 300 at most
    EXPECT_EQ(history.history(0)[1], 9);
    EXPECT_EQ(history.history(0)[0], 7);
}

TEST(TrendChart, TwoChangesWithinOneSecondGiveOneSample) {
    ElementBench bench;
    bench.engine()[1] = {.value = "10", .name = "Signal", .range = "[0 to 100]", .scaling = "0"};
    const std::int32_t ids[] = {1};
    auto* chart = bench.make<views::charts::TrendChart>({0, 0, 400, 300});
    chart->create(ids);
    const auto first = chart->history().lastSample();
    bench.clock().advance(1000ms);
    bench.engine().change(1, "20");
    bench.clock().advance(400ms);
    bench.engine().change(1, "30");
    const auto& samples = chart->history().history(0);
    EXPECT_EQ(*chart->history().lastSample(), *first + 1);
    EXPECT_EQ(samples[TrendHistory::kSamples - 1], 20);
    EXPECT_EQ(samples[TrendHistory::kSamples - 2], 10);
    bench.clock().advance(600ms);
    bench.engine().change(1, "40");
    EXPECT_EQ(chart->history().history(0)[TrendHistory::kSamples - 1], 40);
}

TEST(TrendChart, VisibleRangeInPercent) {
    const auto window = views::charts::visibleRange(0, 200, 10, 90);
    EXPECT_DOUBLE_EQ(window.low, 20);
    EXPECT_DOUBLE_EQ(window.high, 180);
}

TEST(SignatureChart, TwoCurvesOfNinePointsWithTranslatedAxes) {
    ElementBench bench;
    std::vector<std::int32_t> ids;
    for (std::int32_t id = 100; id < 120; ++id) {
        ids.push_back(id);
        bench.engine()[id] = {.value = "0"};
    }
    bench.engine()[118].value = "0";
    bench.engine()[119].value = "250";  // 250 × 0.004 = 1
    bench.engine()[108].value = "255";
    bench.engine().translations["position_perc"] = "Position %";
    auto* chart = bench.make<views::charts::SignatureChart>({0, 0, 400, 300});
    chart->create(ids);
    ASSERT_EQ(chart->first()->count(), 9);
    EXPECT_DOUBLE_EQ(chart->first()->at(8).x(), 100.0);
    EXPECT_DOUBLE_EQ(chart->first()->at(8).y(), 1.0);
    bench.engine().change(117, "51");
    EXPECT_DOUBLE_EQ(chart->second()->at(8).y(), 0.2);
    const auto axes = chart->chart()->axes(Qt::Horizontal);
    ASSERT_EQ(axes.size(), 1);
    EXPECT_EQ(axes.front()->titleText(), "Position %");
}

}  // namespace
