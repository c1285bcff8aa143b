// Hands payloads straight to a window, as if just read from its socket.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/directfeed.h"

#include "panes/batchappender.h"
#include "window/mainwindow.h"

void processDatagrams(MainWindow &window, const QVector<QByteArray> &payloads)
{
    QVector<LogMessage> messages;
    messages.reserve(payloads.size());
    for (const QByteArray &payload : payloads)
        messages.append(LogMessage::fromDatagram(payload));
    window.slPendingDatagrams(messages);
    window.batchAppender->finish();
}
