// Console output of Google Benchmark, followed by every figure as a ratio to a baseline run
// measured in the same process.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct RatioReporter : benchmark::ConsoleReporter {
    explicit RatioReporter(std::string baselineName) : baseline(std::move(baselineName)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                figures.emplace_back(run.benchmark_name(), run.GetAdjustedRealTime());
            }
        }
    }

    void PrintRatios() const {
        double base = 0.0;
        for (const auto& [name, time] : figures) {
            base = name == baseline ? time : base;
        }
        if (base <= 0.0) {
            std::printf("no %s run: no ratios\n", baseline.c_str());
            return;
        }
        std::printf("\nratio to %s (real time):\n", baseline.c_str());
        for (const auto& [name, time] : figures) {
            std::printf("  %-32s %8.2f\n", name.c_str(), time / base);
        }
    }

    std::string baseline;
    std::vector<std::pair<std::string, double>> figures;
};
