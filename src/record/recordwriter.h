// Writes batches of messages to a recording file, keeping it within a size.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include "ingest/logmessage.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Not a QObject and not thread-bound: the Recorder uses one on its writing thread, tests on
// theirs. Every call that fails leaves the reason in error(), and the file as its last commit
// left it.
class RecordWriter
{
public:
    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    // Opens the file to append to, creating it when missing. The oldest datagrams go when the
    // file reaches limitBytes (0: no limit).
    bool open(const QString &path, qint64 limitBytes);
    // Writes the batches in one transaction, then lets the oldest datagrams go if the file
    // has reached its limit.
    bool write(const std::vector<QVector<LogMessage>> &batches);
    QString error() const { return lastError; }
    // The bytes the recording takes on disk: the database and its write-ahead log.
    qint64 fileBytes() const;

private:
    bool writeOnce(const std::vector<QVector<LogMessage>> &batches);
    bool insert(const LogMessage &message);
    qint64 captionsId(const QStringList &captions);
    bool limitFileSize();
    bool keepWithinLimit();
    // Deletes the oldest 1/part of the datagrams; false when there were none or it failed.
    bool letOldestGo(int part);
    bool rollBack();
    qint64 pragma(const char *name) const;
    bool fail();

    sqlite3 *db = nullptr;
    QString path;
    qint64 limitBytes = 0;
    sqlite3_stmt *insertDatagram = nullptr;
    sqlite3_stmt *insertText = nullptr;
    sqlite3_stmt *insertCaptions = nullptr;
    sqlite3_stmt *selectCaptions = nullptr;
    // Captions come the same in almost every datagram: their row ids, by the four joined.
    QHash<QString, qint64> captionIds;
    SenderAddress lastSender;
    QByteArray lastSenderText;
    QString lastError;
    int lastCode = 0;
};

#endif // RECORDWRITER_H
