// One sender's sequence of datagram numbers: gaps, late arrivals, repeats and new runs.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sequencecounter.h"

void SequenceCounter::count(quint64 seq)
{
    if (seq == 0)
        return;
    if (highest == 0) {
        beginRun(seq);
        return;
    }
    if (seq > highest) {
        const quint64 ahead = seq - highest;
        lostCount += ahead - 1;
        received = (ahead >= window ? 0 : received << ahead) | 1;
        highest = seq;
        return;
    }
    const quint64 behind = highest - seq;
    const quint64 bit = behind < window ? quint64(1) << behind : 0;
    const bool missing = bit && !(received & bit);
    // 1 is where every run begins: unless it is the one number still missing, the sender
    // started again.
    if (seq == 1 && !missing) {
        beginRun(seq);
        return;
    }
    if (behind >= restartDistance) {
        beginRun(seq);
        lostCount += seq - 1;
        return;
    }
    if (missing) {
        received |= bit;
        --lostCount;
        ++outOfOrderCount;
    } else if (bit) {
        ++repeatedCount;
    } else {
        // Too old to tell a repeat from a late one: the loss it filled stays counted.
        ++outOfOrderCount;
    }
}

void SequenceCounter::beginRun(quint64 seq)
{
    highest = seq;
    received = ~quint64(0);
    ++runCount;
}
