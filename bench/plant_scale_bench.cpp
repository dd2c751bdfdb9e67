// A plant's project opened in one process: N positioner DTMs, each created
// by its ProgID, loaded from a saved data set, given its Environment and
// configured, all held at once by one frame. Reported per N: the time of the
// whole opening, the time per instance, and the memory each instance beyond
// the first adds (resident set and heap in use, measured between the first
// and the last instance of the same run).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frame/frame_session.h"
#include "frame/session_loop.h"

// The engine's error boxes reach the host through this exported function;
// the benchmark has none to show, so they fail loudly.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char*, unsigned) {
    std::fprintf(stderr, "plant scale: error box: %s\n", text);
    return 1;
}

namespace {

constexpr std::string_view kProgId = "VarnholtRavikHARTDTM.BasicDTM.1";

double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0;
    double resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

double processCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double heapBytes() {
    return static_cast<double>(mallinfo2().uordblks);
}

bool succeeded(const frame::CommandResult& result, benchmark::State& state, const char* step) {
    if (result.ok) return true;
    state.SkipWithError((std::string(step) + ": " + result.error).c_str());
    return false;
}

// A data set saved once by a configured positioner DTM, as a frame keeps it.
const std::filesystem::path& savedDataSet() {
    static const std::filesystem::path file = [] {
        const auto path = std::filesystem::temp_directory_path() /
                          ("plant_scale_" + std::to_string(::getpid()) + ".dataset");
        frame::SessionLoop loop(frame::SessionLoop::Clock::Virtual);
        frame::Frame frame(loop, {});
        const bool saved = frame.create(kProgId).ok && frame.environment("SAVED").ok &&
                           frame.initNew().ok && frame.config("maintenance").ok &&
                           frame.save(path).ok;
        if (!saved) std::fprintf(stderr, "plant scale: cannot save the data set %s\n", path.c_str());
        return path;
    }();
    return file;
}

// Opens one instance as a frame opens a saved project: create, Load (before
// Environment, as the DTM takes it), Environment, Config.
bool openInstance(frame::Frame& frame, int index, benchmark::State& state) {
    return succeeded(frame.create(kProgId), state, "create") &&
           succeeded(frame.load(savedDataSet()), state, "Load") &&
           succeeded(frame.environment("PV-" + std::to_string(index)), state, "Environment") &&
           succeeded(frame.config("maintenance"), state, "Config");
}

void BM_PlantScale(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::filesystem::path& dataSet = savedDataSet();
    if (!std::filesystem::exists(dataSet)) {
        state.SkipWithError("no saved data set");
        return;
    }
    double residentPerInstance = 0;
    double heapPerInstance = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        frame::SessionLoop loop(frame::SessionLoop::Clock::Virtual);
        frame::Frame frame(loop, {});
        if (!openInstance(frame, 0, state)) return;
        const double residentFirst = residentBytes();
        const double heapFirst = heapBytes();
        for (int index = 1; index < count; ++index) {
            if (!openInstance(frame, index, state)) return;
        }
        state.PauseTiming();
        cpuSeconds = processCpuSeconds() - cpuStart;
        if (count > 1) {
            residentPerInstance = (residentBytes() - residentFirst) / (count - 1);
            heapPerInstance = (heapBytes() - heapFirst) / (count - 1);
        }
        frame.close();
        ::malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["instances"] = count;
    // CPU time: the machine is shared, so wall time says less about the engine.
    state.counters["cpu_s_total"] = cpuSeconds;
    state.counters["cpu_ms_per_instance"] = 1000.0 * cpuSeconds / count;
    state.counters["MB_rss_each_beyond_first"] = residentPerInstance / 1e6;
    state.counters["MB_heap_each_beyond_first"] = heapPerInstance / 1e6;
}
BENCHMARK(BM_PlantScale)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The registry the build registers its modules into, unless one is chosen.
    setenv("HARTDTM_REGISTRY", HARTDTM_BUILD_REGISTRY, 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(savedDataSet(), ignored);
    return 0;
}
