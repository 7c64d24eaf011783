#pragma once

namespace LinkageSnapAlarm {

// How much the alarm history keeps: alarms older than nKeepDays go, and the
// oldest linkages go while more than nMaxAlarms alarms are kept.
struct HistoryBounds
{
    static constexpr int kDefaultKeepDays = 30;
    static constexpr int kDefaultMaxAlarms = 100000;
    static constexpr int kMinKeepDays = 1;
    static constexpr int kMaxKeepDays = 3650;
    static constexpr int kMinMaxAlarms = 100;
    static constexpr int kMaxMaxAlarms = 10000000;

    int nKeepDays = kDefaultKeepDays;
    int nMaxAlarms = kDefaultMaxAlarms;

    // The same bounds with each value brought into its range.
    HistoryBounds Clamped() const
    {
        const auto clamp = [](int n, int nLow, int nHigh) { return n < nLow ? nLow : n > nHigh ? nHigh : n; };
        return HistoryBounds{clamp(nKeepDays, kMinKeepDays, kMaxKeepDays),
                             clamp(nMaxAlarms, kMinMaxAlarms, kMaxMaxAlarms)};
    }
};

} // namespace LinkageSnapAlarm
