// One burst of Changed calls for every parameter of a panel of 60 value rows
// and a fault list of 20 rows (80 parameters), each with a new value, then
// the panel repainted offscreen. Reported per burst.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <vector>

#include "tests/views/support/view_test_support.h"
#include "views/panels/panel_builder.h"

namespace {

using views::panels::ElementKind;
using views::panels::ElementSpec;

constexpr int kValueRows = 60;
constexpr int kFaultRows = 20;

std::vector<std::int32_t> faultIds() {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < kFaultRows; ++i) ids.push_back(1000 + i);
    return ids;
}

void BM_ViewRefreshBurst(benchmark::State& state) {
    views_test::ElementBench bench;
    bench.window().resize(900, 1300);
    auto& engine = bench.engine();
    static const std::vector<std::int32_t> faults = faultIds();
    std::vector<ElementSpec> rows;
    for (int i = 0; i < kValueRows; ++i) {
        const int id = 1 + i;
        engine[id] = {.value = "1.5", .name = "Value " + std::to_string(i), .unit = "mA", .scaling = "1"};
        const int column = i % 2, line = i / 2;
        rows.push_back({.kind = ElementKind::ValueRow,
                        .rect = {10 + column * 420, 10 + line * 22, 410 + column * 420, 29 + line * 22},
                        .paramId = id, .format = "%2.1f", .flags = views::panels::kChangedMark});
    }
    for (std::int32_t id : faults)
        engine[id] = {.value = "0", .name = "Fault " + std::to_string(id), .range = "[0=OK][1=Fault][2=Warning]"};
    rows.push_back({.kind = ElementKind::FaultList, .rect = {10, 700, 830, 1250}, .paramIds = faults});
    for (const ElementSpec& spec : rows)
        views::panels::buildElement(&bench.panel(), bench.panel().childHost(), spec, bench.context());

    QWidget* panel = bench.panel().outerWidget();
    panel->resize(900, 1300);
    QImage image(panel->size(), QImage::Format_ARGB32_Premultiplied);
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < kValueRows; ++i) {
            engine[1 + i].changed = (round + i) % 2 == 0;
            engine.change(1 + i, std::to_string(round % 100) + ".25");
        }
        for (int i = 0; i < kFaultRows; ++i) engine.change(faults[i], std::to_string((round + i) % 3));
        panel->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel("80 parameters, 60 value rows + 20 fault rows");
}
BENCHMARK(BM_ViewRefreshBurst)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
