// The benchmark's sender: the same program started with --sender, in a process of its own.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QElapsedTimer>
#include <QThread>
#include <QUdpSocket>

#include <memory>
#include <string>
#include <vector>

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
              bool leadTable, int senders, bool numbered)
{
    // Each socket is a sender of its own to the viewer, with a port of its own; they take
    // turns, one datagram each.
    std::vector<std::unique_ptr<QUdpSocket>> sockets;
    for (int i = 0; i < qMax(1, senders); ++i) {
        sockets.push_back(std::make_unique<QUdpSocket>());
        sockets.back()->bind(QHostAddress(QHostAddress::LocalHost), 0);
    }
    QUdpSocket &socket = *sockets.front();
    std::string counted; // a numbered payload, its room kept from one datagram to the next
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
        const char *data = payload.constData();
        qint64 size = payload.size();
        if (numbered) {
            // As the client library numbers and names its datagrams.
            counted.assign(data, size_t(size - 1));
            counted += ",\"seq\":" + std::to_string(sent / qint64(sockets.size()) + 1)
                + ",\"app\":\"corvane-bench\"}";
            data = counted.data();
            size = qint64(counted.size());
        }
        QUdpSocket &from = *sockets[size_t(sent % qint64(sockets.size()))];
        if (from.writeDatagram(data, size, target, port) == size)
            ++sent;
    }
    say(QStringLiteral("sent %1 %2")
            .arg(sent + (leadTable ? 1 : 0))
            .arg(clock.nsecsElapsed() / 1e9, 0, 'f', 3));
    return 0;
}

} // namespace bench
