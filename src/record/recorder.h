// Records every message the window takes to a file, on a thread of its own.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDER_H
#define RECORDER_H

#include "ingest/logmessage.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class QTimer;

// The window hands each batch over as it comes (record(): a copy of a shared vector, never a
// wait for the disk). The writing thread takes what has queued up at least every fifth of a
// second and writes it in one transaction, so a viewer killed at any moment leaves a file with
// everything up to a moment before. The queue is bounded: what does not fit while the disk
// falls behind is counted, not recorded. A write that fails (a full disk, a file held locked
// by another program) stops the recording; the window goes on.
class Recorder : public QObject
{
    Q_OBJECT

public:
    // The most messages that wait for the disk at any one time.
    static constexpr int queueCapacity = 200000;
    explicit Recorder(QObject *parent = nullptr);
    ~Recorder() override;

    // Starts recording to the file (appending when it is a recording already), stopping any
    // recording before. The oldest datagrams go when the file reaches limitBytes (0: never).
    void start(const QString &path, qint64 limitBytes);
    // Writes what has queued up and stops.
    void stop();
    bool isRecording() const { return worker.joinable() && !failed; }
    QString path() const { return filePath; }

    // Queues a batch, or counts it as not recorded when the queue is full. Nothing when not
    // recording.
    void record(const QVector<LogMessage> &messages);

signals:
    // While recording, a few times a second when anything changed: the file's size on disk and
    // the messages that could not be queued since the recording started.
    void progress(const QString &path, qint64 fileBytes, qint64 notRecorded);
    // The recording ended: by stop() with no error, or by a failed write with its reason.
    void stopped(const QString &path, const QString &error);

private:
    void write(qint64 limitBytes);
    void report();

    QString filePath;
    std::thread worker;
    std::mutex mutex;
    std::condition_variable wake;
    // Under the mutex.
    std::vector<QVector<LogMessage>> queue;
    int queued = 0;
    bool stopping = false;
    QString error;

    std::atomic<bool> failed {false};
    std::atomic<qint64> fileBytes {0};
    std::atomic<qint64> notRecorded {0};
    qint64 reportedBytes = -1;
    qint64 reportedLoss = -1;
    QTimer *reportTimer;
};

#endif // RECORDER_H
