// The --from and --to of a recording: local times, or durations back from its end.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TIMERANGE_H
#define TIMERANGE_H

#include <QString>

// One end of a range of times, as given on the command line: "2026-12-08 10:00",
// "2026-12-08T10:00:30", "10:00" (today) as local times, or "-10m", "-90s", "-2h", "-1d" back
// from the last datagram of the recording.
struct TimeBound
{
    enum Kind { Open, At, BeforeEnd, Invalid };
    Kind kind = Open;
    qint64 nanoseconds = 0; // since the epoch (At), or before the end (BeforeEnd)

    static TimeBound parse(const QString &text);
    // Nanoseconds since the epoch, given the recording's last time; `open` for no bound.
    qint64 resolve(qint64 endNanoseconds, qint64 open) const;
};

// Both ends, each included.
struct TimeRange
{
    TimeBound from;
    TimeBound to;
};

#endif // TIMERANGE_H
