// The flood run: the sender as fast as it can, first into a bare socket (the physical limit
// here), then into the viewer.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QUdpSocket>

namespace bench {

Run bareSocket(Harness &harness, double seconds)
{
    // A plain socket drained until empty, with no parsing or display.
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    qint64 count = 0;
    QByteArray buffer(65536, Qt::Uninitialized);
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            if (socket.readDatagram(buffer.data(), buffer.size()) >= 0)
                ++count;
        }
    });
    Run run = harness.drive(QStringLiteral("bare socket"),
                            {QStringLiteral("--port"), QString::number(socket.localPort()),
                             QStringLiteral("--seconds"), QString::number(seconds)},
                            [&] { return count; });
    run.stallMs = -1; // it drains until empty by design; its stalls say nothing
    return run;
}

Run viewerFlood(Harness &harness, double seconds)
{
    auto viewer = harness.openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    QStringList arguments = {QStringLiteral("--port"),    QString::number(viewer->port),
                             QStringLiteral("--seconds"), QString::number(seconds),
                             QStringLiteral("--senders"), QString::number(harness.senders)};
    if (harness.numbered)
        arguments.append(QStringLiteral("--numbered"));
    Run run = harness.drive(QStringLiteral("viewer, flood"), arguments,
                            [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

} // namespace bench
