// The recorder's queue and writing thread.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recorder.h"

#include "record/recordwriter.h"

#include <QTimer>

#include <chrono>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {
// How long the writing thread lets messages gather before it commits them: a crash loses no
// more than this and one transaction.
constexpr std::chrono::milliseconds gatherTime(200);
} // namespace

Recorder::Recorder(QObject *parent) : QObject(parent), reportTimer(new QTimer(this))
{
    reportTimer->setInterval(250);
    connect(reportTimer, &QTimer::timeout, this, &Recorder::report);
}

Recorder::~Recorder()
{
    stop();
}

void Recorder::start(const QString &path, qint64 limitBytes)
{
    stop();
    filePath = path;
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue.clear();
        queued = 0;
        stopping = false;
        error.clear();
    }
    failed = false;
    fileBytes = 0;
    notRecorded = 0;
    reportedBytes = -1;
    reportedLoss = -1;
    worker = std::thread([this, limitBytes] { write(limitBytes); });
    reportTimer->start();
    report();
}

void Recorder::stop()
{
    if (!worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    worker.join();
    reportTimer->stop();
    QString reason;
    {
        std::lock_guard<std::mutex> lock(mutex);
        reason = error;
    }
    emit stopped(filePath, reason);
}

void Recorder::record(const QVector<LogMessage> &messages)
{
    if (!worker.joinable() || failed)
        return;
    bool full = false;
    bool halfFull = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (queued + messages.size() > queueCapacity) {
            full = true;
        } else {
            halfFull = queued < queueCapacity / 2 && queued + messages.size() >= queueCapacity / 2;
            queue.push_back(messages);
            queued += messages.size();
        }
    }
    if (full)
        notRecorded += messages.size();
    // A flood need not wait out the gathering time to be written.
    if (halfFull)
        wake.notify_one();
}

// The writing thread.
void Recorder::write(qint64 limitBytes)
{
#ifdef Q_OS_LINUX
    // Where the window and this thread want the same core, the window gets the larger share
    // (nice 5: about three parts to one); the queue holds what this thread has not taken yet,
    // and what does not fit is counted. Measured on two loaded cores, nice 19 kept the flood's
    // rate but left 27% unrecorded, nice 0 recorded all at 73% of the rate (bench --mode record).
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 5);
#endif
    RecordWriter writer;
    bool ok = writer.open(filePath, limitBytes);
    fileBytes = writer.fileBytes();
    std::vector<QVector<LogMessage>> batches;
    bool last = false;
    while (ok && !last) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait_for(lock, gatherTime,
                          [this] { return stopping || queued >= queueCapacity / 2; });
            batches.swap(queue);
            queued = 0;
            last = stopping;
        }
        if (!batches.empty())
            ok = writer.write(batches);
        batches.clear(); // the texts go here, on this thread, not the window's
        fileBytes = writer.fileBytes();
    }
    if (!ok) {
        std::lock_guard<std::mutex> lock(mutex);
        error = writer.error();
        queue.clear();
        queued = 0;
        failed = true;
    }
}

void Recorder::report()
{
    if (failed) {
        stop(); // the thread has ended: this only joins it and says why
        return;
    }
    const qint64 bytes = fileBytes;
    const qint64 loss = notRecorded;
    if (bytes == reportedBytes && loss == reportedLoss)
        return;
    reportedBytes = bytes;
    reportedLoss = loss;
    emit progress(filePath, bytes, loss);
}
