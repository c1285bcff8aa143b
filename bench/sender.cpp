// The benchmark's sender: the same program started with --sender, in a process of its own.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QElapsedTimer>
#include <QThread>
#include <QUdpSocket>

namespace bench {

namespace {

// A datagram that keeps the window busy: a table of 1,500 rows, which takes a good part of a
// second to lay out.
QByteArray largeTable()
{
    QByteArray table = R"({"tabs":["Net","Db","UI","Misc"],"log1":"<table>)";
    while (table.size() < 60000)
        table += "<tr><td>a</td><td>b</td><td>c</td></tr>";
    return table + R"(</table>"})";
}

} // namespace

int runSender(quint16 port, qint64 count, qint64 rate, double seconds, qint64 reportMs,
              bool leadTable)
{
    QUdpSocket socket;
    Payloads payloads;
    const QHostAddress target(QHostAddress::LocalHost);
    QElapsedTimer clock;
    clock.start();
    if (leadTable) {
        const QByteArray table = largeTable();
        if (socket.writeDatagram(table, target, port) != table.size())
            return 1;
    }
    const qint64 limitNs = qint64(seconds * 1e9);
    qint64 nextReportNs = reportMs * 1000000;
    qint64 sent = 0;
    for (;;) {
        if (count > 0 && sent >= count)
            break;
        if ((sent & 63) == 0) {
            const qint64 now = clock.nsecsElapsed();
            if (now >= limitNs)
                break;
            if (reportMs > 0 && now >= nextReportNs) {
                say(QStringLiteral("progress %1").arg(sent));
                nextReportNs += reportMs * 1000000;
            }
        }
        if (rate > 0) {
            const qint64 due = clock.nsecsElapsed() * rate / 1000000000;
            if (sent >= due) {
                QThread::usleep(300);
                continue;
            }
        }
        const QByteArray &payload = payloads.make(sent);
        if (socket.writeDatagram(payload.constData(), payload.size(), target, port)
            == payload.size())
            ++sent;
    }
    say(QStringLiteral("sent %1 %2")
            .arg(sent + (leadTable ? 1 : 0))
            .arg(clock.nsecsElapsed() / 1e9, 0, 'f', 3));
    return 0;
}

} // namespace bench
