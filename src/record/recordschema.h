// The tables of a recording file, and opening one for writing or reading.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDSCHEMA_H
#define RECORDSCHEMA_H

#include <QString>

struct sqlite3;

namespace RecordSchema {

// PRAGMA user_version of the files this viewer writes; a file of another version is not read.
constexpr int version = 1;

// Opens (creating it when missing) a recording to append to, in write-ahead-log mode, and
// creates its tables in an empty file. Null with the reason in *error when it cannot.
sqlite3 *openForWriting(const QString &path, QString *error);
// Opens an existing recording read-only. Null with the reason in *error when it cannot.
sqlite3 *openForReading(const QString &path, QString *error);

// SQLite's message for the connection's last error.
QString lastError(sqlite3 *db);

} // namespace RecordSchema

#endif // RECORDSCHEMA_H
