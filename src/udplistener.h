// The viewer's UDP socket: binding it, and reading what arrives in chunks.
#ifndef UDPLISTENER_H
#define UDPLISTENER_H

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QVector>

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

signals:
    // The datagrams read in one go, in the order they arrived, never empty.
    void datagramsReceived(const QVector<QByteArray> &datagrams);

private slots:
    void drain();

private:
    QUdpSocket *socket = nullptr;
};

#endif // UDPLISTENER_H
