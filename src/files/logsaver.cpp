// Turns a pane's document into a file's bytes and writes them in one step.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/logsaver.h"

#include "files/atomicfile.h"
#include "app/qtcompat.h"
#include "panes/logdocument.h"

#include <QFileInfo>
#include <QTextDocument>

LogFileFormat logFileFormatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("html"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0)
        return LogFileFormat::Html;
    return LogFileFormat::PlainText;
}

QByteArray logFileContents(const QTextDocument &document, LogFileFormat format)
{
    if (format == LogFileFormat::Html) {
        // A sender's markup may name remote images and style sheets: a browser that opens the
        // file loads nothing from anywhere, and only the file's own styles apply.
        QString html = corvane::documentHtml(document);
        const QLatin1String head("<head>");
        const int at = html.indexOf(head);
        if (at >= 0) {
            html.insert(
                at + head.size(),
                QLatin1String("<meta http-equiv=\"Content-Security-Policy\" "
                              "content=\"default-src 'none'; style-src 'unsafe-inline'\" />"));
        }
        return html.toUtf8();
    }
    // shownText() ends every paragraph but the last with a line feed; a text file ends
    // its last line too.
    QString text = shownText(document);
    if (!document.isEmpty())
        text += QLatin1Char('\n');
    return text.toUtf8();
}

LogSaveResult saveLog(const QTextDocument &document, const QString &path)
{
    const QByteArray bytes = logFileContents(document, logFileFormatFor(path));
    LogSaveResult result;
    result.error = writeFileAtomically(path, bytes);
    if (result.succeeded())
        result.bytesWritten = bytes.size();
    return result;
}
