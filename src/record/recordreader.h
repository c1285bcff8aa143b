// Reads a recording file back: the messages of a time range, or every text in order.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDREADER_H
#define RECORDREADER_H

#include "ingest/logmessage.h"
#include "record/timerange.h"

#include <QString>
#include <QVector>

#include <functional>
#include <limits>

struct sqlite3;
struct sqlite3_stmt;

// One text of a recording with what is known of its datagram.
struct RecordedText
{
    qint64 time = 0; // nanoseconds since the epoch
    QString sender; // "address:port"
    quint64 seq = 0;
    QString app;
    int pane = 0; // 0 to 3
    QString caption;
    QString text;
};

class RecordReader
{
public:
    RecordReader() = default;
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    bool open(const QString &path);
    QString error() const { return lastError; }

    // The time of the last datagram, 0 when there is none.
    qint64 endTime();
    // The range's ends in nanoseconds since the epoch, durations counted back from endTime().
    void resolve(const TimeRange &range, qint64 *from, qint64 *to);

    // The datagrams within the range, oldest first, with at most the newest textsPerPane texts
    // of each pane (0: all of them); datagrams whose texts are all left out are left out too.
    QVector<LogMessage> newestMessages(const TimeRange &range, int textsPerPane);
    // Every text within the range, oldest first. False when reading failed.
    bool forEachText(const TimeRange &range, const std::function<void(const RecordedText &)> &use);

    // "address:port" and "[IPv6]:port" back into an address.
    static SenderAddress senderOf(const QString &text);

private:
    // The query of the texts within the range, bound and ready to step; null when it failed.
    sqlite3_stmt *prepareTexts(const TimeRange &range, bool newestFirst);

    sqlite3 *db = nullptr;
    QString lastError;
};

#endif // RECORDREADER_H
