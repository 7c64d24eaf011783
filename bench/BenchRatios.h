#pragma once

// What the benchmark programs share: a console reporter that also keeps the time
// of each result, so that a program closes with its figures as ratios against
// floors measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    // Which runs stand for a benchmark, and which of their times is kept.
    enum class Keep {
        IterationCpu,       // each run's CPU time
        IterationCpuOrReal, // wall time for runs measured in real time, CPU time for the others
        MedianReal,         // the median of the repetitions, wall time
    };

    explicit CRatioReporter(Keep eKeep)
        : m_eKeep(eKeep)
    {
    }

    void ReportRuns(const std::vector<Run>& vecRuns) override
    {
        ConsoleReporter::ReportRuns(vecRuns);
        for (const Run& run : vecRuns)
            if (!run.error_occurred)
                KeepRun(run);
    }

    // The kept time of a benchmark, or a negative value when it did not run.
    double Time(const std::string& strName) const
    {
        const auto it = m_mapTimes.find(strName);
        return it == m_mapTimes.end() ? -1.0 : it->second;
    }

    // Prints figure time / floor time (lower is better); an aim of 0 prints none.
    void PrintTimeRatio(const std::string& strWhat, const std::string& strFigure, const std::string& strFloor,
                        double dAim, int nWidth = 62) const
    {
        const double dFigure = Time(strFigure);
        const double dFloor = Time(strFloor);
        if (dFigure < 0 || dFloor <= 0)
            return;
        if (dAim > 0)
            std::printf("  %-*s %.2f (aim <= %.1f)\n", nWidth, strWhat.c_str(), dFigure / dFloor, dAim);
        else
            std::printf("  %-*s %.1f\n", nWidth, strWhat.c_str(), dFigure / dFloor);
    }

    // Prints floor time / figure time, a ratio of speeds (higher is better).
    void PrintSpeedRatio(const std::string& strWhat, const std::string& strFigure, const std::string& strFloor,
                         double dAim, int nWidth = 62) const
    {
        const double dFigure = Time(strFigure);
        const double dFloor = Time(strFloor);
        if (dFigure <= 0 || dFloor < 0)
            return;
        std::printf("  %-*s %.2f (aim >= %.1f)\n", nWidth, strWhat.c_str(), dFloor / dFigure, dAim);
    }

private:
    void KeepRun(const Run& run)
    {
        switch (m_eKeep) {
        case Keep::IterationCpu:
            if (run.run_type == Run::RT_Iteration)
                m_mapTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
            break;
        case Keep::IterationCpuOrReal:
            if (run.run_type == Run::RT_Iteration)
                m_mapTimes[run.benchmark_name()] = run.benchmark_name().find("real_time") != std::string::npos
                                                       ? run.GetAdjustedRealTime()
                                                       : run.GetAdjustedCPUTime();
            break;
        case Keep::MedianReal:
            // The machine is shared, single runs wander: the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_mapTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
            break;
        }
    }

    Keep m_eKeep;
    std::map<std::string, double> m_mapTimes;
};

} // namespace bench
