// Writes a recording as JSON lines.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordexport.h"

#include "record/recordreader.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A string as JSON writes it, quotes and escapes and all.
QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

QString isoTime(qint64 nanoseconds)
{
    const qint64 seconds =
        nanoseconds >= 0 ? nanoseconds / 1000000000 : -((-nanoseconds + 999999999) / 1000000000);
    const qint64 fraction = nanoseconds - seconds * 1000000000;
    return QDateTime::fromSecsSinceEpoch(seconds).toUTC().toString(
               QStringLiteral("yyyy-MM-ddTHH:mm:ss."))
        + QStringLiteral("%1Z").arg(fraction, 9, 10, QLatin1Char('0'));
}

bool exportRecording(const QString &path, const TimeRange &range, std::FILE *out, QString *error)
{
    RecordReader reader;
    if (!reader.open(path)) {
        *error = reader.error();
        return false;
    }
    const bool read = reader.forEachText(range, [out](const RecordedText &text) {
        // Written by hand to keep the members in this order, which reads best.
        const QByteArray line = "{\"time\":" + jsonString(isoTime(text.time))
            + ",\"sender\":" + jsonString(text.sender)
            + ",\"app\":" + (text.app.isEmpty() ? QByteArray("null") : jsonString(text.app))
            + ",\"pane\":" + QByteArray::number(text.pane + 1) + ",\"caption\":"
            + jsonString(text.caption) + ",\"text\":" + jsonString(text.text) + "}\n";
        std::fwrite(line.constData(), 1, size_t(line.size()), out);
    });
    if (!read)
        *error = reader.error();
    return read;
}
