// One received datagram as the viewer reads it: four tab captions and a text for each pane.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGMESSAGE_H
#define LOGMESSAGE_H

#include "ingest/datagramorigin.h"
#include "protocol/panes.h"

#include <QByteArray>
#include <QStringList>

#include <array>

struct LogMessage
{
    // The captions of the four tabs, as the datagram's "tabs" names them: a place it leaves
    // unnamed has its default caption. Names beyond the fourth name no tab and are not kept,
    // so that a datagram of thousands of empty names takes no more memory than four.
    QStringList captions;
    // The texts of "log1" to "log4"; an empty one adds nothing to its pane.
    std::array<QString, paneCount> texts;
    // When the system received the datagram (nanoseconds since the epoch, 0 when not known),
    // not when the window took it: a window that was busy or stopped still knows.
    qint64 arrivalTime = 0;
    SenderAddress sender;
    // What the sender says of itself, when it does: its own count of datagrams sent, from 1
    // (0 when the datagram has none), and its program's name.
    quint64 seq = 0;
    QString app;

    bool hasText() const;

    // Reads a datagram's payload. Anything that is no JSON object reads as an object without
    // members; values that are no strings read as their text ("42", "true"), or as nothing.
    static LogMessage fromDatagram(const QByteArray &payload);
    // The same, always through Qt's JSON reader. fromDatagram() reads the usual shape of
    // payload faster without it.
    static LogMessage fromJson(const QByteArray &payload);
};

#endif // LOGMESSAGE_H
