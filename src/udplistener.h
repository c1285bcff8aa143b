// The viewer's UDP socket: binding it, and reading what arrives in chunks.
#ifndef UDPLISTENER_H
#define UDPLISTENER_H

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QVector>

class QTimer;
class QUdpSocket;

class UdpListener : public QObject
{
    Q_OBJECT

public:
    explicit UdpListener(QObject *parent = nullptr);

    // Gives up the socket there is and binds a new one. Text that is no IPv4 or IPv6 address
    // (a null address) fails like any other bind: the system would take it for "every
    // interface" and open the viewer to the whole network.
    bool listen(const QHostAddress &address, quint16 port);
    // The port the socket is bound to, which the system chose when asked for port 0.
    quint16 localPort() const;
    // Datagrams the system dropped at the socket since it was bound, because they came faster
    // than they were read; -1 where the system keeps no count.
    qint64 droppedDatagrams() const;

signals:
    // The datagrams read in one go, in the order they arrived, never empty.
    void datagramsReceived(const QVector<QByteArray> &datagrams);
    // The count of droppedDatagrams(), looked at every second while datagrams arrive and
    // once more after the last; told only when it grew.
    void datagramsDropped(qint64 count);

private slots:
    void drain();
    void checkDrops();

private:
    QUdpSocket *socket = nullptr;
    QTimer *dropCheck;
    bool arrivedSinceDropCheck = false;
    qint64 droppedSoFar = 0;
};

#endif // UDPLISTENER_H
