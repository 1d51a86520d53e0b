// Console output of Google Benchmark, followed by every figure as a ratio to a baseline run
// measured in the same process (with repetitions: medians of the repetitions).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct RatioReporter : benchmark::ConsoleReporter {
    explicit RatioReporter(std::string baselineName) : baseline(std::move(baselineName)) {}

    // With repetitions, a figure is the median of its repetitions; without, its one run.
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration && run.repetitions <= 1) {
                Set(run.benchmark_name(), run.GetAdjustedRealTime());
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                Set(run.run_name.function_name, run.GetAdjustedRealTime());
            }
        }
    }

    void Set(const std::string& name, double time) {
        for (auto& figure : figures) {
            if (figure.first == name) {
                figure.second = time;
                return;
            }
        }
        figures.emplace_back(name, time);
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
        auto sorted = figures;  // interleaved runs come in any order
        std::sort(sorted.begin(), sorted.end());
        for (const auto& [name, time] : sorted) {
            std::printf("  %-32s %8.2f\n", name.c_str(), time / base);
        }
    }

    // "name / floor  ratio  (goal)" for a figure measured against another of the same run.
    void PrintRatio(const std::string& name, const std::string& floor, double goal) const {
        double a = 0.0;
        double b = 0.0;
        for (const auto& [figure, time] : figures) {
            a = figure == name ? time : a;
            b = figure == floor ? time : b;
        }
        if (a <= 0.0 || b <= 0.0) {
            std::printf("  %s / %s: not measured\n", name.c_str(), floor.c_str());
            return;
        }
        std::printf("  %-32s %8.2f  (goal <= %.2f)\n", (name + " / " + floor).c_str(), a / b, goal);
    }

    std::string baseline;
    std::vector<std::pair<std::string, double>> figures;
};
