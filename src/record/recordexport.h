// A recording as JSON lines, one object a text.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDEXPORT_H
#define RECORDEXPORT_H

#include "record/timerange.h"

#include <QString>

#include <cstdio>

// Writes every text of the recording within the range, oldest first, as one JSON object a
// line: {"time":"2026-12-08T10:00:00.123456789Z","sender":"127.0.0.1:5000","app":"name",
// "pane":1,"caption":"Net","text":"..."} ("app" null when the sender named none). False with
// the reason in *error when the file cannot be read.
bool exportRecording(const QString &path, const TimeRange &range, std::FILE *out, QString *error);

// An arrival time as ISO 8601 in UTC to the nanosecond.
QString isoTime(qint64 nanoseconds);

#endif // RECORDEXPORT_H
