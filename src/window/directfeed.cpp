// Hands payloads straight to a window, as if just read from its socket.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/directfeed.h"

#include "panes/batchappender.h"
#include "window/mainwindow.h"

void processDatagrams(MainWindow &window, const QVector<QByteArray> &payloads)
{
    // They all arrive now, from no sender.
    const qint64 arrivalTime = ArrivalTime::now();
    QVector<LogMessage> messages;
    messages.reserve(payloads.size());
    for (const QByteArray &payload : payloads) {
        messages.append(LogMessage::fromDatagram(payload));
        messages.last().arrivalTime = arrivalTime;
    }
    window.slPendingDatagrams(messages);
    window.batchAppender->finish();
}
