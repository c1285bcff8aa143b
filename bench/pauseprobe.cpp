// The machine's own pauses and pace, seen by a real-time thread on each core.
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

#ifdef Q_OS_LINUX
// A chain of a few thousand dependent steps: it keeps to the registers, so neither the caches
// the viewer left behind nor memory decide its time, only how fast the core runs.
quint64 fixedWork(quint64 seed)
{
    for (int step = 0; step < 2048; ++step) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
    }
    return seed;
}

std::atomic<quint64> workSink {1};
#endif

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

double PauseProbe::takePacePercent()
{
    if (refused > 0)
        return -1;
    qint64 workNs = 0, works = 0, fastest = std::numeric_limits<qint64>::max();
    for (const auto &core : cores) {
        workNs += core->workNs.exchange(0);
        works += core->works.exchange(0);
        fastest = qMin(fastest, core->fastestWorkNs.load());
    }
    if (works == 0)
        return -1;
    return 100.0 * double(fastest) / (double(workNs) / double(works));
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
    quint64 chain = quint64(core) + 1;
    qint64 last = monotonicNs();
    while (!stopping) {
        clock_nanosleep(CLOCK_MONOTONIC, 0, &aMillisecond, nullptr);
        const qint64 now = monotonicNs();
        chain = fixedWork(chain | 1);
        const qint64 done = monotonicNs();
        const qint64 workNs = done - now;
        // A pause that fell within the arithmetic is a pause, not the pace.
        const bool interrupted = workNs > 100000;
        const qint64 pause = interrupted ? done - last : now - last;
        qint64 longest = state->longestNs;
        while (pause > longest && !state->longestNs.compare_exchange_weak(longest, pause)) { }
        last = done;
        if (interrupted)
            continue;
        state->workNs += workNs;
        ++state->works;
        if (workNs < state->fastestWorkNs)
            state->fastestWorkNs = workNs;
    }
    workSink = chain; // so that the compiler keeps the arithmetic
#else
    Q_UNUSED(core);
    Q_UNUSED(state);
#endif
}

} // namespace bench
