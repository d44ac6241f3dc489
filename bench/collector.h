// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Google Benchmark reporter that prints as the console one does and keeps the real time of every
// run, by benchmark name, in microseconds, for the table's ratios.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace Bench {
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> us;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                us[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};
} // namespace Bench
