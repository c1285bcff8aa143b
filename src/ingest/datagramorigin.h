// When and from whom a datagram came: its arrival time and its sender, kept compactly.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DATAGRAMORIGIN_H
#define DATAGRAMORIGIN_H

#include <QHostAddress>
#include <QtGlobal>

#include <array>

struct msghdr;

// Arrival times are nanoseconds since the epoch, on the system's clock; 0 is "not known".
namespace ArrivalTime {
// The time now, for a datagram read where the system gives no time of its own.
qint64 now();
// Asks the system to time each datagram as it arrives at the socket (SO_TIMESTAMPNS); false
// where it does not.
bool askForTimes(int socketDescriptor);
// The time the system gave a received message in its control data, or 0 when there is none.
qint64 fromControlData(const msghdr &header);
} // namespace ArrivalTime

// A datagram's source address and port. Every datagram has one, and most are never asked for
// it, so it is kept as the bytes the system gives (no QHostAddress, nothing allocated) and
// becomes a QHostAddress only when asked.
class SenderAddress
{
public:
    SenderAddress() = default;
    // From a socket address as the system fills it in (sockaddr_in or sockaddr_in6); a null
    // sender for any other kind, or a length too short for its kind.
    static SenderAddress fromSocketAddress(const void *socketAddress, unsigned length);
    static SenderAddress fromHostAddress(const QHostAddress &address, quint16 port);

    bool isNull() const { return family == None; }
    QHostAddress address() const;
    quint16 port() const { return portNumber; }
    // "address:port", with the IPv6 address in brackets; empty for a null sender.
    QString toString() const;

    bool operator==(const SenderAddress &other) const;
    bool operator!=(const SenderAddress &other) const { return !(*this == other); }

    // For hash tables of senders.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    using HashValue = size_t;
#else
    using HashValue = uint;
#endif
    HashValue hash(HashValue seed) const;

private:
    enum Family : quint8 { None, IPv4, IPv6 };
    std::array<quint8, 16> bytes {}; // the first four for IPv4, in network order
    quint32 scopeId = 0; // of a link-local IPv6 address
    quint16 portNumber = 0;
    Family family = None;
};

inline SenderAddress::HashValue qHash(const SenderAddress &sender,
                                      SenderAddress::HashValue seed = 0)
{
    return sender.hash(seed);
}

#endif // DATAGRAMORIGIN_H
