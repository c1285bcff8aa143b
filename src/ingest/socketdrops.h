// How many datagrams the system dropped at a UDP socket, as it tells with the datagrams read.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SOCKETDROPS_H
#define SOCKETDROPS_H

#include <QtGlobal>

struct msghdr;

// Linux counts the datagrams it drops at a socket because they arrived while its receive
// buffer was full, and, when asked (SO_RXQ_OVFL), hands the count with each datagram read
// after a drop, in the datagram's control data. The count is 32 bits wide and wraps; this
// makes it whole again. Nothing here locks: the reading thread alone keeps it.
class SocketDrops
{
public:
    // Asks the system for the count with every datagram; false where it has no such count.
    static bool askForCount(int socketDescriptor);

    // Takes the count from a received message's control data, where there is one.
    void readControlData(const msghdr &header);
    // The system's count now, for drops since the last datagram read; Linux 4.6 and later.
    void readFromSocket(int socketDescriptor);
    // Another value of the system's 32-bit count, which wraps; one older than the last is
    // ignored.
    void update(quint32 systemCount);

    // Datagrams dropped since the socket was made.
    qint64 count() const { return total; }

private:
    quint32 last = 0;
    qint64 total = 0;
};

#endif // SOCKETDROPS_H
