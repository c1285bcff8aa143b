// Counts one sender's datagrams lost on the way, out of order and repeated, from its "seq".
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SEQUENCECOUNTER_H
#define SEQUENCECOUNTER_H

#include <QtGlobal>

// A sender numbers its datagrams 1, 2, 3... A number beyond the next one leaves the numbers
// between missing: lost, until one of them comes after all, which then counts as out of order
// instead. The last 64 numbers are remembered one by one, so a number that came before counts
// as a repeat; an older one, as out of order.
//
// A sender that starts again sends 1: that begins a new run and loses nothing, and so does a
// number far below the run's (a sender whose first datagrams were lost, or whose count went
// past its largest number and started over), whose run loses the numbers before it. The first
// number ever seen begins a run without loss: the viewer may have started after the sender.
// A datagram without a number (0) counts nothing.
class SequenceCounter
{
public:
    void count(quint64 seq);

    quint64 lost() const { return lostCount; }
    quint64 outOfOrder() const { return outOfOrderCount; }
    quint64 repeated() const { return repeatedCount; }
    // Runs begun, the first one included: 0 until a numbered datagram came.
    quint64 runs() const { return runCount; }

    // How far back numbers are remembered one by one.
    static constexpr quint64 window = 64;
    // A number this far below the run's highest begins a new run.
    static constexpr quint64 restartDistance = 1024;

private:
    void beginRun(quint64 seq);

    quint64 highest = 0; // 0 before the first run
    // Bit k stands for number highest - k: set when it came (or lies before the run).
    quint64 received = 0;
    quint64 lostCount = 0;
    quint64 outOfOrderCount = 0;
    quint64 repeatedCount = 0;
    quint64 runCount = 0;
};

#endif // SEQUENCECOUNTER_H
