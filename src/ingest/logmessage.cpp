// Turns a datagram's bytes into captions and texts, with every rule for odd payloads.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/logmessage.h"

#include "ingest/datagramjson.h"
#include "ingest/plaindatagram.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

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
    static const QString logKeys[paneCount] = {QStringLiteral("log1"), QStringLiteral("log2"),
                                               QStringLiteral("log3"), QStringLiteral("log4")};

    const QJsonObject object = datagramObject(payload);
    LogMessage message;
    message.captions = captionsFrom(object.value(tabsKey));
    for (int pane = 0; pane < paneCount; ++pane)
        message.texts[pane] = textOf(object.value(logKeys[pane]));
    return message;
}
