// The benchmark's runs, one file each, and the sender they all start.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BENCH_MODES_H
#define BENCH_MODES_H

#include "harness.h"

namespace bench {

// sender.cpp: sends `count` datagrams (0: without end) at `rate` a second (0: as fast as it
// can), for at most `seconds`, then prints how many the system took. With reportMs above 0 it
// also prints "progress <sent>" that often. With leadTable, a large table goes first, counted
// among the datagrams sent.
// With `senders` above 1, that many sockets take turns; `numbered` datagrams carry "seq" and
// "app" as the client library's do.
int runSender(quint16 port, qint64 count, qint64 rate, double seconds, qint64 reportMs,
              bool leadTable, int senders = 1, bool numbered = false);

// flood.cpp: as fast as the sender can for `seconds`, into a bare socket and into the viewer.
Run bareSocket(Harness &harness, double seconds);
Run viewerFlood(Harness &harness, double seconds);
// paced.cpp: `count` datagrams at `rate` a second.
Run viewerPaced(Harness &harness, qint64 count, qint64 rate);
// burst.cpp: a large table that keeps the window busy, then at once `count` small datagrams.
Run viewerBurst(Harness &harness, qint64 count);
// memory.cpp: the resident bytes a stored line costs, over `lines` lines.
double memoryPerLine(Harness &harness, qint64 lines, qint64 *before, qint64 *after);
// soak.cpp: an endless flood, a row of figures every `intervalSeconds`.
void soak(Harness &harness, double seconds, double intervalSeconds);
// find.cpp: typing into the find bar over a full pane, idle and in a flood.
void findLatency(Harness &harness, qint64 texts, const QString &word, double seconds);
// filter.cpp: a pane of `texts` texts shown anew as rules change, then a flood of `seconds`
// with no rules and with ten.
void filterRun(Harness &harness, const QString &home, qint64 texts, double seconds);

// record.cpp: the flood with recording off and on, in turn, `rounds` times each, the
// recording written in `directory`.
void recordingCost(Harness &harness, double seconds, int rounds, const QString &directory);

// reading.cpp: showing a hidden tab of `texts` texts, and Ctrl+Home and Ctrl+End across it.
void reading(Harness &harness, qint64 texts);

} // namespace bench

#endif // BENCH_MODES_H
