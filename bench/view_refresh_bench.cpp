// One burst of Changed calls for every parameter of a panel of 40 value rows
// and a fault list of 40 rows (80 parameters), each with a new value, then
// the panel repainted offscreen. The panel has a menu view's panel size
// (670 × 730). Reported per burst.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <vector>

#include "tests/views/support/view_test_support.h"
#include "views/panels/panel_builder.h"

namespace {

using views::panels::ElementKind;
using views::panels::ElementSpec;

constexpr int kValueRows = 40;
constexpr int kFaultRows = 40;

std::vector<std::int32_t> faultIds() {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < kFaultRows; ++i) ids.push_back(1000 + i);
    return ids;
}

// How the panel is repainted after each burst.
enum class Repaint {
    None,         // the elements' refresh only
    Render,       // the whole panel rendered into an image
    ShownWindow,  // the shown offscreen window repaints what the burst made dirty
};

void runBursts(benchmark::State& state, Repaint repaint) {
    views_test::ElementBench bench;
    bench.window().resize(670, 730);
    auto& engine = bench.engine();
    static const std::vector<std::int32_t> faults = faultIds();
    std::vector<ElementSpec> rows;
    for (int i = 0; i < kValueRows; ++i) {
        const int id = 1 + i;
        engine[id] = {.value = "1.5", .name = "Value " + std::to_string(i), .unit = "mA", .scaling = "1"};
        const int column = i % 2, line = i / 2;
        rows.push_back({.kind = ElementKind::ValueRow,
                        .rect = {10 + column * 325, 10 + line * 22, 325 + column * 325, 29 + line * 22},
                        .paramId = id, .format = "%2.1f", .flags = views::panels::kChangedMark});
    }
    for (std::int32_t id : faults)
        engine[id] = {.value = "0", .name = "Fault " + std::to_string(id), .range = "[0=OK][1=Fault][2=Warning]"};
    rows.push_back({.kind = ElementKind::FaultList, .rect = {10, 460, 660, 720}, .paramIds = faults});
    for (const ElementSpec& spec : rows)
        views::panels::buildElement(&bench.panel(), bench.panel().childHost(), spec, bench.context());

    QWidget* panel = bench.panel().outerWidget();
    panel->resize(670, 730);
    QImage image(panel->size(), QImage::Format_ARGB32_Premultiplied);
    if (repaint == Repaint::ShownWindow) {
        bench.window().show();
        QCoreApplication::processEvents();
    }
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < kValueRows; ++i) {
            engine[1 + i].changed = i % 2 == 0;  // half the rows edited, not yet written
            engine.change(1 + i, std::to_string(round % 100) + ".25");
        }
        for (int i = 0; i < kFaultRows; ++i) engine.change(faults[i], std::to_string((round + i) % 3));
        bench.clock().advance(std::chrono::milliseconds(1));  // the fault list's one sort
        if (repaint == Repaint::Render) panel->render(&image);
        if (repaint == Repaint::ShownWindow) QCoreApplication::processEvents();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel("80 parameters: 40 value rows, 40 fault rows");
}
// The goal: at most 2 ms per burst, repaint included.
void BM_ViewRefreshBurst(benchmark::State& state) {
    runBursts(state, Repaint::Render);
}
BENCHMARK(BM_ViewRefreshBurst)->Unit(benchmark::kMillisecond);

// The elements' own share: the same burst without the repaint.
void BM_ViewRefreshWithoutRepaint(benchmark::State& state) {
    runBursts(state, Repaint::None);
}
BENCHMARK(BM_ViewRefreshWithoutRepaint)->Unit(benchmark::kMillisecond);

// As a window on screen does it: only the regions the burst made dirty.
void BM_ViewRefreshShownWindow(benchmark::State& state) {
    runBursts(state, Repaint::ShownWindow);
}
BENCHMARK(BM_ViewRefreshShownWindow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
