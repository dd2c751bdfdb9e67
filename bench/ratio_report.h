#pragma once
// A console reporter that also keeps each benchmark's CPU time per
// iteration, so that a benchmark program can close with the ratios it exists
// for ("model build / bare parse", "CPU time / wire time").

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            cpuSeconds_[run.benchmark_name()] =
                run.cpu_accumulated_time / static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // CPU seconds per iteration of a benchmark by its name; 0 when it did not run.
    double cpuSeconds(const std::string& name) const {
        const auto found = cpuSeconds_.find(name);
        return found == cpuSeconds_.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> cpuSeconds_;
};

}  // namespace bench
