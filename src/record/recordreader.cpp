// Reads recordings with plain queries over the datagrams' time index.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordreader.h"

#include "record/recordschema.h"

#include <QHash>

#include <sqlite3.h>

#include <array>

namespace {

// The rows go in the order of their ids, within the ids that the range's times span (found on
// the time index first): ordered by time instead, SQLite would sort the whole range first.
const char textsQuery[] =
    "SELECT d.id, d.time, d.sender, d.seq, d.app, c.tab1, c.tab2, c.tab3, c.tab4, t.pane, t.text"
    " FROM datagrams d JOIN captions c ON c.id = d.captions"
    " LEFT JOIN texts t ON t.datagram = d.id"
    " WHERE d.id BETWEEN ?3 AND ?4 AND +d.time BETWEEN ?1 AND ?2 ORDER BY d.id %1, t.pane";

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = static_cast<const QChar *>(sqlite3_column_text16(statement, column));
    return text ? QString(text, sqlite3_column_bytes16(statement, column) / 2) : QString();
}

} // namespace

RecordReader::~RecordReader()
{
    sqlite3_close(db);
}

bool RecordReader::open(const QString &path)
{
    db = RecordSchema::openForReading(path, &lastError);
    return db != nullptr;
}

qint64 RecordReader::endTime()
{
    sqlite3_stmt *statement = nullptr;
    qint64 time = 0;
    if (sqlite3_prepare_v2(db, "SELECT max(time) FROM datagrams", -1, &statement, nullptr)
            == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        time = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return time;
}

void RecordReader::resolve(const TimeRange &range, qint64 *from, qint64 *to)
{
    const qint64 end =
        range.from.kind == TimeBound::BeforeEnd || range.to.kind == TimeBound::BeforeEnd ? endTime()
                                                                                         : 0;
    *from = range.from.resolve(end, std::numeric_limits<qint64>::min());
    *to = range.to.resolve(end, std::numeric_limits<qint64>::max());
}

SenderAddress RecordReader::senderOf(const QString &text)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {};
    QString address = text.left(colon);
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
        address = address.mid(1, address.size() - 2);
    return SenderAddress::fromHostAddress(QHostAddress(address), text.mid(colon + 1).toUShort());
}

sqlite3_stmt *RecordReader::prepareTexts(const TimeRange &range, bool newestFirst)
{
    qint64 from = 0;
    qint64 to = 0;
    resolve(range, &from, &to);
    sqlite3_stmt *statement = nullptr;
    qint64 first = 0;
    qint64 last = -1;
    if (sqlite3_prepare_v2(db, "SELECT min(id), max(id) FROM datagrams WHERE time BETWEEN ? AND ?",
                           -1, &statement, nullptr)
        == SQLITE_OK) {
        sqlite3_bind_int64(statement, 1, from);
        sqlite3_bind_int64(statement, 2, to);
        if (sqlite3_step(statement) == SQLITE_ROW
            && sqlite3_column_type(statement, 0) != SQLITE_NULL) {
            first = sqlite3_column_int64(statement, 0);
            last = sqlite3_column_int64(statement, 1);
        }
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    const QByteArray sql = QString::fromLatin1(textsQuery)
                               .arg(newestFirst ? QLatin1String("DESC") : QLatin1String("ASC"))
                               .toLatin1();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
        lastError = RecordSchema::lastError(db);
        return nullptr;
    }
    sqlite3_bind_int64(statement, 1, from);
    sqlite3_bind_int64(statement, 2, to);
    sqlite3_bind_int64(statement, 3, first);
    sqlite3_bind_int64(statement, 4, last);
    return statement;
}

bool RecordReader::forEachText(const TimeRange &range,
                               const std::function<void(const RecordedText &)> &use)
{
    sqlite3_stmt *statement = prepareTexts(range, false);
    if (!statement)
        return false;
    RecordedText row;
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        if (sqlite3_column_type(statement, 9) == SQLITE_NULL)
            continue; // a datagram that only named the tabs
        row.time = sqlite3_column_int64(statement, 1);
        row.sender = columnText(statement, 2);
        row.seq = quint64(sqlite3_column_int64(statement, 3));
        row.app = columnText(statement, 4);
        row.pane = qBound(1, sqlite3_column_int(statement, 9), paneCount) - 1;
        row.caption = columnText(statement, 5 + row.pane);
        row.text = columnText(statement, 10);
        use(row);
    }
    if (result != SQLITE_DONE)
        lastError = RecordSchema::lastError(db);
    sqlite3_finalize(statement);
    return result == SQLITE_DONE;
}

QVector<LogMessage> RecordReader::newestMessages(const TimeRange &range, int textsPerPane)
{
    QVector<LogMessage> newestFirst;
    sqlite3_stmt *statement = prepareTexts(range, true);
    if (!statement)
        return {};
    std::array<int, paneCount> taken {};
    const auto full = [&](int pane) {
        return textsPerPane > 0 && taken[size_t(pane)] >= textsPerPane;
    };
    qint64 current = -1;
    QString sender;
    SenderAddress address;
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(statement, 0);
        if (id != current) {
            if (full(0) && full(1) && full(2) && full(3))
                break;
            current = id;
            LogMessage message;
            message.arrivalTime = sqlite3_column_int64(statement, 1);
            const QString text = columnText(statement, 2);
            if (text != sender) {
                sender = text;
                address = senderOf(text);
            }
            message.sender = address;
            message.seq = quint64(sqlite3_column_int64(statement, 3));
            message.app = columnText(statement, 4);
            for (int tab = 0; tab < paneCount; ++tab)
                message.captions.append(columnText(statement, 5 + tab));
            newestFirst.append(message);
        }
        if (sqlite3_column_type(statement, 9) == SQLITE_NULL)
            continue;
        const int pane = qBound(1, sqlite3_column_int(statement, 9), paneCount) - 1;
        if (full(pane))
            continue;
        ++taken[size_t(pane)];
        newestFirst.last().texts[size_t(pane)] = columnText(statement, 10);
    }
    if (result != SQLITE_DONE && result != SQLITE_ROW)
        lastError = RecordSchema::lastError(db);
    sqlite3_finalize(statement);
    QVector<LogMessage> messages;
    messages.reserve(newestFirst.size());
    for (auto message = newestFirst.crbegin(); message != newestFirst.crend(); ++message) {
        // The newest stays whatever it holds: its captions are the tabs' last.
        if (message->hasText() || message == newestFirst.crend() - 1)
            messages.append(*message);
    }
    return messages;
}
