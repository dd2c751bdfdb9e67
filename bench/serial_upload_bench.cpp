// The positioner's full upload over a serial line to hartsim on a
// pseudo-terminal that paces its replies at 1200 bit/s (--wire-time): the
// upload's duration against the sum of the wire times of its frames, request
// and reply, preambles included (11 bits a character). The counter "ratio"
// is the frame's and the DTM's share on top of the wire: 1.00 would be a
// line never idle; the goal is at most 1.10.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "frame/error_box_host.h"
#include "frame/frame_session.h"
#include "frame/lines/master_line.h"
#include "hart/timing.h"
#include "tests/frame/hartsim_process.h"

// The engine's error boxes reach the host through this exported function.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text, const char* caption,
                                                                        unsigned flags) {
    return frame::showHostErrorBox(text, caption, flags);
}

namespace {

void SerialUploadAgainstWireTime(benchmark::State& state) {
    setenv("HARTDTM_REGISTRY", HARTDTM_BENCH_REGISTRY, 0);
    frametest::HartsimProcess hartsim({"--pty", "--wire-time"});
    if (!hartsim.running()) {
        state.SkipWithError("hartsim did not start");
        return;
    }
    double seconds = 0;
    double wireSeconds = 0;
    for (auto _ : state) {
        frame::SessionLoop loop(frame::SessionLoop::Clock::RealTime);
        frame::FrameOptions options;
        options.deviceSpec = "serial:" + hartsim.address();
        frame::Frame session(loop, options);
        if (!session.openDevice() || !session.create("VarnholtRavikHARTDTM.BasicDTM.1").ok ||
            !session.environment("PV-101").ok || !session.initNew().ok || !session.config("maintenance").ok ||
            !session.setCommunication().ok) {
            state.SkipWithError("the DTM did not come online over the serial line");
            return;
        }
        auto* line = dynamic_cast<frame::MasterLine*>(session.line());
        const frame::WireCounters before = line->counters();
        const auto start = std::chrono::steady_clock::now();
        const frame::CommandResult upload = session.upload();
        const auto end = std::chrono::steady_clock::now();
        if (!upload.ok) {
            state.SkipWithError(("the upload failed: " + upload.error).c_str());
            return;
        }
        const frame::WireCounters& after = line->counters();
        const auto bytes = (after.bytesSent - before.bytesSent) + (after.bytesReceived - before.bytesReceived);
        const double elapsed = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        wireSeconds += std::chrono::duration<double>(hart::wireTime(bytes)).count();
        state.counters["frames"] = static_cast<double>(after.frames - before.frames);
        session.release();
    }
    state.counters["upload_s"] = seconds / static_cast<double>(state.iterations());
    state.counters["wire_s"] = wireSeconds / static_cast<double>(state.iterations());
    state.counters["ratio"] = seconds / wireSeconds;
}

BENCHMARK(SerialUploadAgainstWireTime)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
