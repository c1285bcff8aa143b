// Turns a datagram's bytes into captions and texts, with every rule for odd payloads.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/logmessage.h"

#include "ingest/datagramjson.h"
#include "ingest/plaindatagram.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

#include <cmath>

namespace {

QString textOf(const QJsonValue &value)
{
    return value.isString() ? value.toString() : value.toVariant().toString();
}

QStringList captionsFrom(const QJsonValue &tabs)
{
    QStringList captions;
    if (tabs.isArray()) {
        const QJsonArray array = tabs.toArray();
        captions.reserve(paneCount);
        for (int pane = 0; pane < qMin(int(array.size()), paneCount); ++pane)
            captions.append(textOf(array.at(pane)));
    } else {
        captions = tabs.toVariant().toStringList().mid(0, paneCount);
    }
    for (int pane = captions.size(); pane < paneCount; ++pane)
        captions.append(defaultCaption(pane));
    return captions;
}

// A sender's count of datagrams: a positive integer, and one a double holds exactly; 0 for
// anything else, which counts nothing.
quint64 countOf(const QJsonValue &value)
{
    const double number = value.toDouble(0);
    const double largest = 9007199254740992.0; // 2^53, where doubles start to skip integers
    if (!value.isDouble() || !(number >= 1 && number < largest) || std::floor(number) != number)
        return 0;
    return quint64(number);
}

} // namespace

bool LogMessage::hasText() const
{
    for (const QString &text : texts) {
        if (!text.isEmpty())
            return true;
    }
    return false;
}

LogMessage LogMessage::fromDatagram(const QByteArray &payload)
{
    LogMessage message;
    if (readPlainDatagram(payload, &message))
        return message;
    return fromJson(payload);
}

LogMessage LogMessage::fromJson(const QByteArray &payload)
{
    static const QString tabsKey = QStringLiteral("tabs");
    static const QString seqKey = QStringLiteral("seq");
    static const QString appKey = QStringLiteral("app");
    static const QString logKeys[paneCount] = {QStringLiteral("log1"), QStringLiteral("log2"),
                                               QStringLiteral("log3"), QStringLiteral("log4")};

    const QJsonObject object = datagramObject(payload);
    LogMessage message;
    message.captions = captionsFrom(object.value(tabsKey));
    for (int pane = 0; pane < paneCount; ++pane)
        message.texts[pane] = textOf(object.value(logKeys[pane]));
    message.seq = countOf(object.value(seqKey));
    // A name only as a string: a number or a list names no program.
    message.app = object.value(appKey).toString();
    return message;
}
