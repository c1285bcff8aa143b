// Creates and checks the tables of a recording file.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordschema.h"

#include <QCoreApplication>

#include <sqlite3.h>

namespace {

struct RecordingTexts
{
    Q_DECLARE_TR_FUNCTIONS(Recording)
};

// One row a datagram, its texts in a table of their own (one row a pane that got one), and
// the tab captions once for each set of four that occurs. Times are nanoseconds since the
// epoch; rows go in the order the datagrams arrived, so the oldest have the smallest ids.
const char schema[] = R"sql(
CREATE TABLE captions (
    id INTEGER PRIMARY KEY,
    tab1 TEXT NOT NULL, tab2 TEXT NOT NULL, tab3 TEXT NOT NULL, tab4 TEXT NOT NULL,
    UNIQUE (tab1, tab2, tab3, tab4)
);
CREATE TABLE datagrams (
    id INTEGER PRIMARY KEY,
    time INTEGER NOT NULL,
    sender TEXT NOT NULL,
    seq INTEGER,
    app TEXT,
    captions INTEGER NOT NULL REFERENCES captions (id)
);
CREATE INDEX datagrams_by_time ON datagrams (time);
CREATE TABLE texts (
    datagram INTEGER NOT NULL REFERENCES datagrams (id),
    pane INTEGER NOT NULL CHECK (pane BETWEEN 1 AND 4),
    text TEXT NOT NULL,
    PRIMARY KEY (datagram, pane)
) WITHOUT ROWID;
PRAGMA user_version = 1;
)sql";

bool execute(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The file's version, or -1 when it cannot be read (locked, no database).
int userVersion(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    int result = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        result = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return result;
}

sqlite3 *fail(sqlite3 *db, QString *error, const QString &reason)
{
    *error = reason;
    sqlite3_close(db);
    return nullptr;
}

sqlite3 *open(const QString &path, int flags, QString *error)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK)
        return fail(db, error, RecordSchema::lastError(db));
    // Another program that holds the file gets a moment to let go before this gives up.
    sqlite3_busy_timeout(db, 2000);
    return db;
}

QString wrongVersion(int version)
{
    return RecordingTexts::tr("the file is a recording of version %1, not %2")
        .arg(version)
        .arg(RecordSchema::version);
}

} // namespace

QString RecordSchema::lastError(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : RecordingTexts::tr("out of memory");
}

sqlite3 *RecordSchema::openForWriting(const QString &path, QString *error)
{
    sqlite3 *db = open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
    if (!db)
        return nullptr;
    const int version = userVersion(db);
    if (version < 0)
        return fail(db, error, lastError(db));
    if (version != 0 && version != RecordSchema::version)
        return fail(db, error, wrongVersion(version));
    // In write-ahead-log mode a commit is one append to the log, and a program killed at any
    // moment leaves every committed transaction readable; NORMAL syncs at checkpoints only,
    // which loses nothing to a crash of the program (a power cut may take the last commits).
    if (!execute(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                 "PRAGMA journal_size_limit = 4194304;"))
        return fail(db, error, lastError(db));
    if (version == 0) {
        if (!execute(db, "BEGIN IMMEDIATE") || !execute(db, schema) || !execute(db, "COMMIT"))
            return fail(db, error, lastError(db));
    }
    return db;
}

sqlite3 *RecordSchema::openForReading(const QString &path, QString *error)
{
    sqlite3 *db = open(path, SQLITE_OPEN_READONLY, error);
    if (!db)
        return nullptr;
    const int version = userVersion(db);
    if (version < 0)
        return fail(db, error, lastError(db));
    if (version != RecordSchema::version)
        return fail(db, error,
                    version == 0 ? RecordingTexts::tr("the file is no recording")
                                 : wrongVersion(version));
    return db;
}
