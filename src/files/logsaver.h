// Saving a log pane's text to a file, as plain text or as HTML.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGSAVER_H
#define LOGSAVER_H

#include <QByteArray>
#include <QString>

class QTextDocument;

enum class LogFileFormat { PlainText, Html };

// The format a file name asks for: HTML for ".html" and ".htm" in any letter case, plain text
// for every other name, with or without a suffix.
LogFileFormat logFileFormatFor(const QString &path);

// The file's bytes, in UTF-8: plain text has one line per paragraph, each ended by a line feed;
// HTML keeps the rich text as the pane shows it, and forbids a browser to load anything it
// names from elsewhere (images, style sheets, fonts).
QByteArray logFileContents(const QTextDocument &document, LogFileFormat format);

struct LogSaveResult
{
    qint64 bytesWritten = 0;
    QString error; // empty when the file was written

    bool succeeded() const { return error.isEmpty(); }
};

// Writes the document to `path` in the format its name asks for, replacing the file in one
// step: on failure, the reason is returned and a file that was there stays as it was.
LogSaveResult saveLog(const QTextDocument &document, const QString &path);

#endif // LOGSAVER_H
