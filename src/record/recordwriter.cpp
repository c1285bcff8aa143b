// Writes messages to a recording file with prepared statements, in one transaction a call.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordwriter.h"

#include "record/recordschema.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

namespace {

// The text stays alive and unchanged until the statement has run, so SQLite copies nothing.
void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * 2), SQLITE_STATIC);
}

bool run(sqlite3_stmt *statement)
{
    const int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    return result == SQLITE_DONE;
}

} // namespace

RecordWriter::~RecordWriter()
{
    for (sqlite3_stmt *statement : {insertDatagram, insertText, insertCaptions, selectCaptions})
        sqlite3_finalize(statement);
    sqlite3_close(db);
}

bool RecordWriter::open(const QString &filePath, qint64 limit)
{
    path = filePath;
    limitBytes = limit;
    db = RecordSchema::openForWriting(path, &lastError);
    if (!db)
        return false;
    const auto prepare = [this](const char *sql, sqlite3_stmt **statement) {
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr)
            == SQLITE_OK;
    };
    if (!prepare("INSERT INTO datagrams (time, sender, seq, app, captions) VALUES (?, ?, ?, ?, ?)",
                 &insertDatagram)
        || !prepare("INSERT INTO texts (datagram, pane, text) VALUES (?, ?, ?)", &insertText)
        || !prepare("INSERT OR IGNORE INTO captions (tab1, tab2, tab3, tab4) VALUES (?, ?, ?, ?)",
                    &insertCaptions)
        || !prepare("SELECT id FROM captions WHERE tab1 = ? AND tab2 = ? AND tab3 = ? AND tab4 = ?",
                    &selectCaptions))
        return fail();
    if (limitBytes > 0 && !limitFileSize())
        return fail();
    return keepWithinLimit();
}

// The file never grows past its limit: SQLite reports it full instead. The write-ahead log,
// which is emptied into the file at checkpoints, stays within a quarter of the limit.
bool RecordWriter::limitFileSize()
{
    const qint64 pageSize = pragma("page_size");
    const qint64 pages = std::max(limitBytes / pageSize, qint64(16));
    const qint64 checkpointPages = std::clamp(pages / 4, qint64(4), qint64(1000));
    const qint64 logBytes = std::min(limitBytes / 4, qint64(4) << 20);
    const QByteArray sql = "PRAGMA max_page_count = " + QByteArray::number(pages)
        + "; PRAGMA wal_autocheckpoint = " + QByteArray::number(checkpointPages)
        + "; PRAGMA journal_size_limit = " + QByteArray::number(logBytes) + ";";
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool RecordWriter::write(const std::vector<QVector<LogMessage>> &batches)
{
    if (writeOnce(batches))
        return keepWithinLimit();
    // The file at its limit (max_page_count) says it is full: the oldest quarter makes room.
    // A disk that is full says the same, and is still full after.
    if (limitBytes > 0 && lastCode == SQLITE_FULL && letOldestGo(4) && writeOnce(batches))
        return keepWithinLimit();
    return false;
}

bool RecordWriter::writeOnce(const std::vector<QVector<LogMessage>> &batches)
{
    lastError.clear();
    lastCode = SQLITE_OK;
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail();
    for (const QVector<LogMessage> &batch : batches) {
        for (const LogMessage &message : batch) {
            if (!insert(message))
                return rollBack();
        }
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return rollBack();
    return true;
}

bool RecordWriter::rollBack()
{
    fail();
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool RecordWriter::insert(const LogMessage &message)
{
    const qint64 captions = captionsId(message.captions);
    if (captions < 0)
        return false;
    if (message.sender != lastSender || lastSenderText.isEmpty()) {
        lastSender = message.sender;
        lastSenderText = message.sender.toString().toUtf8();
    }
    sqlite3_bind_int64(insertDatagram, 1, message.arrivalTime);
    sqlite3_bind_text(insertDatagram, 2, lastSenderText.constData(), lastSenderText.size(),
                      SQLITE_STATIC);
    if (message.seq > 0)
        sqlite3_bind_int64(insertDatagram, 3, qint64(message.seq));
    else
        sqlite3_bind_null(insertDatagram, 3);
    if (message.app.isEmpty())
        sqlite3_bind_null(insertDatagram, 4);
    else
        bindText(insertDatagram, 4, message.app);
    sqlite3_bind_int64(insertDatagram, 5, captions);
    if (!run(insertDatagram))
        return false;
    const qint64 datagram = sqlite3_last_insert_rowid(db);
    for (int pane = 0; pane < paneCount; ++pane) {
        const QString &text = message.texts[size_t(pane)];
        if (text.isEmpty())
            continue;
        sqlite3_bind_int64(insertText, 1, datagram);
        sqlite3_bind_int(insertText, 2, pane + 1);
        bindText(insertText, 3, text);
        if (!run(insertText))
            return false;
    }
    return true;
}

qint64 RecordWriter::captionsId(const QStringList &captions)
{
    const QString key = captions.join(QChar(0));
    const auto known = captionIds.constFind(key);
    if (known != captionIds.constEnd())
        return *known;
    QStringList four = captions.mid(0, paneCount);
    while (four.size() < paneCount)
        four.append(QStringLiteral(""));
    for (int tab = 0; tab < paneCount; ++tab) {
        bindText(insertCaptions, tab + 1, four.at(tab));
        bindText(selectCaptions, tab + 1, four.at(tab));
    }
    qint64 id = -1;
    if (run(insertCaptions) && sqlite3_step(selectCaptions) == SQLITE_ROW)
        id = sqlite3_column_int64(selectCaptions, 0);
    sqlite3_reset(selectCaptions);
    if (id >= 0)
        captionIds.insert(key, id);
    return id;
}

// The file keeps the pages that deleted rows free for the rows that come next, so letting the
// oldest eighth of the datagrams go, as often as it takes, once the file is nearly full holds
// it at its limit.
bool RecordWriter::keepWithinLimit()
{
    if (limitBytes <= 0)
        return true;
    for (;;) {
        const qint64 usedBytes =
            (pragma("page_count") - pragma("freelist_count")) * pragma("page_size");
        if (usedBytes < limitBytes - limitBytes / 16)
            return true;
        if (!letOldestGo(8))
            return lastError.isEmpty(); // the tables alone are that large
    }
}

bool RecordWriter::letOldestGo(int part)
{
    sqlite3_stmt *range = nullptr;
    qint64 first = 0;
    qint64 last = -1;
    if (sqlite3_prepare_v2(db, "SELECT min(id), max(id) FROM datagrams", -1, &range, nullptr)
            == SQLITE_OK
        && sqlite3_step(range) == SQLITE_ROW && sqlite3_column_type(range, 0) != SQLITE_NULL) {
        first = sqlite3_column_int64(range, 0);
        last = sqlite3_column_int64(range, 1);
    }
    sqlite3_finalize(range);
    if (last < first)
        return false;
    const QByteArray cut = QByteArray::number(first + (last - first) / part + 1);
    const QByteArray sql = "BEGIN IMMEDIATE; DELETE FROM texts WHERE datagram < " + cut
        + "; DELETE FROM datagrams WHERE id < " + cut + "; COMMIT;";
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return rollBack();
    return true;
}

qint64 RecordWriter::pragma(const char *name) const
{
    sqlite3_stmt *statement = nullptr;
    qint64 value = 0;
    const QByteArray sql = QByteArray("PRAGMA ") + name;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

qint64 RecordWriter::fileBytes() const
{
    return QFileInfo(path).size() + QFileInfo(path + QLatin1String("-wal")).size();
}

bool RecordWriter::fail()
{
    lastError = RecordSchema::lastError(db);
    lastCode = sqlite3_errcode(db);
    return false;
}
