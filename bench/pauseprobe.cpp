// The machine's own pauses, seen by a real-time thread on each core.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pauseprobe.h"

#include <ctime>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

namespace bench {

namespace {

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

PauseProbe::PauseProbe()
{
#ifdef Q_OS_LINUX
    const int count = int(std::thread::hardware_concurrency());
    for (int core = 0; core < count; ++core) {
        cores.push_back(std::make_unique<Core>());
        Core *state = cores.back().get();
        state->thread = std::thread([this, core, state] { watch(core, state); });
    }
#endif
    if (cores.empty())
        refused = 1;
}

PauseProbe::~PauseProbe()
{
    stopping = true;
    for (const auto &core : cores)
        core->thread.join();
}

double PauseProbe::takeLongestMs()
{
    if (refused > 0)
        return -1;
    qint64 longest = 0;
    for (const auto &core : cores)
        longest = qMax(longest, core->longestNs.exchange(0));
    return longest / 1e6;
}

void PauseProbe::watch(int core, Core *state)
{
#ifdef Q_OS_LINUX
    cpu_set_t only;
    CPU_ZERO(&only);
    CPU_SET(core, &only);
    sched_param lowestRealTime {};
    lowestRealTime.sched_priority = sched_get_priority_min(SCHED_FIFO);
    if (pthread_setaffinity_np(pthread_self(), sizeof only, &only) != 0
        || pthread_setschedparam(pthread_self(), SCHED_FIFO, &lowestRealTime) != 0) {
        ++refused;
        return;
    }
    const timespec aMillisecond {0, 1000000};
    qint64 last = monotonicNs();
    while (!stopping) {
        clock_nanosleep(CLOCK_MONOTONIC, 0, &aMillisecond, nullptr);
        const qint64 now = monotonicNs();
        const qint64 gap = now - last;
        qint64 longest = state->longestNs;
        while (gap > longest && !state->longestNs.compare_exchange_weak(longest, gap)) { }
        last = now;
    }
#else
    Q_UNUSED(core);
    Q_UNUSED(state);
#endif
}

} // namespace bench
