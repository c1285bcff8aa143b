// Test helpers for the senders: a socket standing in for the viewer, and a sender run.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SENDERHARNESS_H
#define SENDERHARNESS_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QUdpSocket>

// A socket on a free loopback port that stands in for the viewer and keeps what it receives.
class Receiver
{
public:
    Receiver()
    {
        socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        // Room for a burst of thousands of small datagrams, so none is dropped while a test
        // waits for a process.
        socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 << 20);
    }

    quint16 port() const { return socket.localPort(); }
    QString portText() const { return QString::number(port()); }

    // Every datagram that has arrived so far, as raw payloads.
    QList<QByteArray> payloads()
    {
        while (socket.hasPendingDatagrams()) {
            QByteArray payload(int(socket.pendingDatagramSize()), Qt::Uninitialized);
            socket.readDatagram(payload.data(), payload.size());
            received.append(payload);
        }
        return received;
    }

    // Waits until at least `count` datagrams have arrived; gives up after `timeoutMs`.
    QList<QByteArray> waitFor(int count, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (payloads().size() < count && clock.elapsed() < timeoutMs)
            socket.waitForReadyRead(100);
        return payloads();
    }

    // The datagrams as JSON objects; a payload that is no JSON object comes out empty.
    QList<QJsonObject> objects()
    {
        QList<QJsonObject> result;
        for (const QByteArray &payload : payloads())
            result.append(QJsonDocument::fromJson(payload).object());
        return result;
    }

private:
    QUdpSocket socket;
    QList<QByteArray> received;
};

struct ProcessResult
{
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end with `input` on its standard input.
inline ProcessResult runProcess(const QString &program, const QStringList &arguments,
                                const QByteArray &input = QByteArray(), int timeoutMs = 60000)
{
    QProcess process;
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    process.write(input);
    process.closeWriteChannel();
    result.finished =
        process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

#endif // SENDERHARNESS_H
