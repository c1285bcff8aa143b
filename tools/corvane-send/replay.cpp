// Reads a recording's datagrams in order and sends them again, paced by their arrival times.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "replay.h"

#include <corvane/client.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <sqlite3.h>

namespace {

// The version of recording this reads (PRAGMA user_version of the viewer's files).
constexpr int recordingVersion = 1;

const char datagramsQuery[] =
    "SELECT d.id, d.time, d.seq, d.app, c.tab1, c.tab2, c.tab3, c.tab4, t.pane, t.text"
    " FROM datagrams d JOIN captions c ON c.id = d.captions"
    " LEFT JOIN texts t ON t.datagram = d.id ORDER BY d.id, t.pane";

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = static_cast<const QChar *>(sqlite3_column_text16(statement, column));
    return text ? QString(text, sqlite3_column_bytes16(statement, column) / 2) : QString();
}

// Sends one payload; a send buffer that is full for a moment is waited for, briefly.
bool send(corvane::Sender &sender, const QByteArray &payload)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (sender.sendDatagram(payload))
            return true;
        if (sender.error() != corvane::Sender::SendError)
            return sender.error() == corvane::Sender::ViewerAbsent;
        QThread::usleep(500);
    }
    return false;
}

class Replay
{
public:
    Replay(corvane::Sender &sender, double speed) : sender(sender), speed(speed) { }

    // The row opens a datagram of its own or adds a text to the one before.
    bool take(sqlite3_stmt *row)
    {
        const qint64 id = sqlite3_column_int64(row, 0);
        if (id != current) {
            if (!flush())
                return false;
            current = id;
            time = sqlite3_column_int64(row, 1);
            datagram = QJsonObject();
            datagram.insert(QStringLiteral("tabs"),
                            QJsonArray {columnText(row, 4), columnText(row, 5), columnText(row, 6),
                                        columnText(row, 7)});
            if (sqlite3_column_type(row, 2) != SQLITE_NULL)
                datagram.insert(QStringLiteral("seq"), double(sqlite3_column_int64(row, 2)));
            if (sqlite3_column_type(row, 3) != SQLITE_NULL)
                datagram.insert(QStringLiteral("app"), columnText(row, 3));
        }
        if (sqlite3_column_type(row, 8) != SQLITE_NULL)
            datagram.insert(QStringLiteral("log%1").arg(sqlite3_column_int(row, 8)),
                            columnText(row, 9));
        return true;
    }

    // Sends the datagram taken last, when its time has come.
    bool flush()
    {
        if (current < 0)
            return true;
        if (!clock.isValid()) {
            clock.start();
            firstTime = time;
        } else if (speed > 0) {
            const qint64 dueNs = qint64(double(time - firstTime) / speed);
            const qint64 waitNs = dueNs - clock.nsecsElapsed();
            if (waitNs > 0)
                QThread::usleep(quint64(waitNs / 1000));
        }
        current = -1;
        return send(sender, QJsonDocument(datagram).toJson(QJsonDocument::Compact));
    }

private:
    corvane::Sender &sender;
    double speed;
    QElapsedTimer clock;
    qint64 firstTime = 0;
    qint64 current = -1;
    qint64 time = 0;
    QJsonObject datagram;
};

} // namespace

bool replayRecording(const QString &path, corvane::Sender &sender, double speed, QString *error)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    const auto fail = [&](const QString &reason) {
        *error = reason;
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return false;
    };
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) != SQLITE_OK
        || sqlite3_step(statement) != SQLITE_ROW)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    const int version = sqlite3_column_int(statement, 0);
    if (version != recordingVersion)
        return fail(
            QStringLiteral("%1 is no recording of version %2").arg(path).arg(recordingVersion));
    sqlite3_finalize(statement);
    statement = nullptr;
    if (sqlite3_prepare_v2(db, datagramsQuery, -1, &statement, nullptr) != SQLITE_OK)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    Replay replay(sender, speed);
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        if (!replay.take(statement))
            return fail(sender.errorString());
    }
    if (result != SQLITE_DONE)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    if (!replay.flush())
        return fail(sender.errorString());
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return true;
}
