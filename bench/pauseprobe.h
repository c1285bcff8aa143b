// Notes how long the machine kept a core from a thread that should have run at once, and how
// fast the core ran when it had it.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BENCH_PAUSEPROBE_H
#define BENCH_PAUSEPROBE_H

#include <QtGlobal>

#include <atomic>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace bench {

// A real-time thread on each core wakes every millisecond and notes the longest it overslept.
// Nothing of an ordinary priority can keep it waiting, so what it sees is the machine's own
// pauses: a virtual machine's host running something else, or the kernel at work that cannot
// be interrupted. A stall of the window that long says nothing of the viewer. Without the
// right to real-time priority (not root, no CAP_SYS_NICE) it cannot tell and reports nothing.
//
// Each time it wakes it also does the same few microseconds of arithmetic, which nothing in this
// machine can interrupt either. When that takes longer than it did at its fastest, the host has
// slowed the core (another guest on the same physical core, a lower clock): the viewer's work
// then takes longer too, and a longer stall says as much of the machine as of the viewer.
class PauseProbe
{
public:
    PauseProbe();
    ~PauseProbe();

    // The longest pause on any core since the last call, or -1 when it cannot tell.
    double takeLongestMs();
    // The probe's fastest time for its arithmetic over its mean time since the last call, in per
    // cent: 100 when the cores ran as fast as they ever did. -1 when it cannot tell.
    double takePacePercent();

private:
    struct Core
    {
        std::thread thread;
        std::atomic<qint64> longestNs {0};
        std::atomic<qint64> workNs {0};
        std::atomic<qint64> works {0};
        std::atomic<qint64> fastestWorkNs {std::numeric_limits<qint64>::max()};
    };
    void watch(int core, Core *state);

    std::vector<std::unique_ptr<Core>> cores;
    std::atomic<bool> stopping {false};
    std::atomic<int> refused {0};
};

} // namespace bench

#endif // BENCH_PAUSEPROBE_H
