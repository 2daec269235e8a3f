#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// Shows the runs as usual and keeps each one's time per iteration, so that a program can print the
// ratio of a measured operation to its floor measured in the same run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                m_times[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
    // {real, CPU} time per iteration, or zeros when the benchmark did not run.
    std::pair<double, double> time(const std::string &name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? std::pair<double, double>{0, 0} : it->second;
    }

private:
    std::map<std::string, std::pair<double, double>> m_times;
};
