#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Runs the registered benchmarks, prints them as usual, then prints "ours / baseline"
// ratios of their real time per iteration, so every figure is relative to a run made in
// the same process on the same machine. The ratio of CPU times follows in brackets: it
// leaves out waiting (a sync to disk) and is steadier on a busy machine. A benchmark that
// runs child processes adds their CPU time per iteration as the counter ChildCpuCounter.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // Seconds per iteration.
    static constexpr const char* ChildCpuCounter = "child_cpu_s";

    RatioReporter()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& report) override
    {
        for (const Run& run : report) {
            // With repetitions, the median stands for the benchmark; the other aggregates
            // (mean, deviation) are not times per iteration.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
            double children = 0;
            const auto counter = run.counters.find(ChildCpuCounter);
            if (counter != run.counters.end())
                children = counter->second.value * benchmark::GetTimeUnitMultiplier(run.time_unit);
            m_cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime() + children;
        }
        ConsoleReporter::ReportRuns(report);
    }

    // Prints "label: ours / baseline = ratio"; returns the ratio, or 0 if either is missing.
    double PrintRatio(
        const std::string& label, const std::string& ours, const std::string& baseline) const
    {
        const auto o = m_times.find(ours);
        const auto b = m_times.find(baseline);
        if (o == m_times.end() || b == m_times.end() || b->second <= 0)
            return 0;
        const double ratio = o->second / b->second;
        const double cpuBaseline = m_cpuTimes.at(baseline);
        const double cpuRatio = cpuBaseline > 0 ? m_cpuTimes.at(ours) / cpuBaseline : 0;
        std::printf("%s: %s / %s = %.3f (cpu %.3f)\n", label.c_str(), ours.c_str(),
            baseline.c_str(), ratio, cpuRatio);
        return ratio;
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_cpuTimes;
};
