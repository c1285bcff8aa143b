// Notes how long the machine kept a core from a thread that should have run at once.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BENCH_PAUSEPROBE_H
#define BENCH_PAUSEPROBE_H

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace bench {

// A real-time thread on each core wakes every millisecond and notes the longest it overslept.
// Nothing of an ordinary priority can keep it waiting, so what it sees is the machine's own
// pauses: a virtual machine's host running something else, or the kernel at work that cannot
// be interrupted. A stall of the window that long says nothing of the viewer. Without the
// right to real-time priority (not root, no CAP_SYS_NICE) it cannot tell and reports nothing.
class PauseProbe
{
public:
    PauseProbe();
    ~PauseProbe();

    // The longest pause on any core since the last call, or -1 when it cannot tell.
    double takeLongestMs();

private:
    struct Core
    {
        std::thread thread;
        std::atomic<qint64> longestNs {0};
    };
    void watch(int core, Core *state);

    std::vector<std::unique_ptr<Core>> cores;
    std::atomic<bool> stopping {false};
    std::atomic<int> refused {0};
};

} // namespace bench

#endif // BENCH_PAUSEPROBE_H
