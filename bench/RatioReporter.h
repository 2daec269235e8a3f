#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

// Shows the runs as usual (coloured on a terminal) and keeps each one's time per iteration, so that
// a program can print the ratio of a measured operation to its floor measured in the same run. With
// repetitions, a benchmark's median stands for it.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Iteration)
                m_times[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
            else if (r.aggregate_name == "median")
                m_times[r.run_name.str()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // {real, CPU} time per iteration, or zeros when the benchmark did not run.
    std::pair<double, double> time(const std::string &name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? std::pair<double, double>{0, 0} : it->second;
    }
    // One line per benchmark of `names` that ran: its times and their ratios to the floor's.
    void printAgainstFloor(const std::string &floor, std::initializer_list<const char *> names) const {
        const auto f = time(floor);
        if (f.first <= 0 || f.second <= 0) return;
        for (const char *name : names) {
            const auto t = time(name);
            if (t.first > 0)
                std::printf("%s: %.2f ms real (%.2f x floor), %.2f ms CPU (%.2f x floor)\n", name, t.first,
                            t.first / f.first, t.second, t.second / f.second);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> m_times;
};
