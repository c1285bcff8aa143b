// The viewer's UDP socket: binding it, and handing what arrives to the window in chunks.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef UDPLISTENER_H
#define UDPLISTENER_H

#include "ingest/logmessage.h"
#include "ingest/messagequeue.h"

#include <QHostAddress>
#include <QObject>
#include <QVector>

#include <memory>

class DatagramReader;
class QTimer;
class QUdpSocket;

// The socket is read on a thread of its own (where the system has one for it), so it is
// emptied however busy the window is; the window takes the messages in chunks, as many in a
// turn of its event loop as its TurnScheduler allows, and paints between them.
class UdpListener : public QObject
{
    Q_OBJECT

public:
    explicit UdpListener(QObject *parent = nullptr);
    ~UdpListener() override;

    // Gives up the socket there is, with whatever it had not handed on yet, and binds a new
    // one. Text that is no IPv4 or IPv6 address (a null address) fails like any other bind:
    // the system would take it for "every interface" and open the viewer to the whole network.
    // It fails too, reading nothing, when the thread that reads the socket cannot start.
    bool listen(const QHostAddress &address, quint16 port);
    // The port the socket is bound to, which the system chose when asked for port 0.
    quint16 localPort() const;
    // Datagrams lost since the socket was bound: those the system dropped because they came
    // faster than they were read, and those the hand-over to the window had no room for; -1
    // where the system keeps no count. The reading thread takes the system's count with the
    // datagrams, so asking costs nothing.
    qint64 droppedDatagrams() const;
    // The receive buffer the system gave the bound socket, in bytes, or -1; and another size
    // to ask for (the benchmark and the tests use it to make the system drop sooner).
    int receiveBufferSize() const;
    void setReceiveBufferSize(int bytes);

    // Hands on the oldest messages waiting, a chunk of them, with messagesReceived(). False
    // when none were waiting.
    bool deliverChunk();
    // Frees texts the window is done with on the reading thread, which made them, while it
    // reads; here when it does not.
    void handBack(std::vector<QString> &&texts);

signals:
    // Messages wait to be taken, where none waited before.
    void messagesWaiting();
    // The messages taken in one go, in the order their datagrams arrived, never empty.
    void messagesReceived(const QVector<LogMessage> &messages);
    // The count of droppedDatagrams(), looked at every second while datagrams arrive and
    // once more after the last; told only when it grew.
    void datagramsDropped(qint64 count);

private slots:
    void checkDrops();

private:
    void stopReading();
    void readOnThisThread();

    MessageQueue queue;
    std::unique_ptr<DatagramReader> reader;
    QUdpSocket *socket = nullptr; // where no reading thread reads, or to name the port
    int descriptor = -1;
    quint16 boundPort = 0;
    QTimer *dropCheck;
    bool arrivedSinceDropCheck = false;
    qint64 queueDropsBefore = 0; // what the queue had dropped for earlier sockets
    qint64 reportedDrops = 0;
};

#endif // UDPLISTENER_H
