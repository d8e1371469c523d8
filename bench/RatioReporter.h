#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Runs the registered benchmarks, prints them as usual, then prints "ours / baseline"
// ratios of their real time per iteration, so every figure is relative to a run made in
// the same process on the same machine.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& report) override
    {
        for (const Run& run : report)
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(report);
    }

    // Prints "label: ours / baseline = ratio"; returns the ratio, or 0 if either is missing.
    double PrintRatio(const std::string& label, const std::string& ours,
                      const std::string& baseline) const
    {
        const auto o = m_times.find(ours);
        const auto b = m_times.find(baseline);
        if (o == m_times.end() || b == m_times.end() || b->second <= 0)
            return 0;
        const double ratio = o->second / b->second;
        std::printf("%s: %s / %s = %.3f\n", label.c_str(), ours.c_str(), baseline.c_str(), ratio);
        return ratio;
    }

private:
    std::map<std::string, double> m_times;
};
