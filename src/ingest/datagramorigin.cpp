// Reads a datagram's arrival time and sender from what the system says with it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/datagramorigin.h"

#include <QHash>

#include <chrono>
#include <cstddef>
#include <cstring>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#endif

qint64 ArrivalTime::now()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

bool ArrivalTime::askForTimes(int socketDescriptor)
{
#if defined(Q_OS_LINUX) && defined(SO_TIMESTAMPNS)
    const int on = 1;
    return ::setsockopt(socketDescriptor, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof(on)) == 0;
#else
    Q_UNUSED(socketDescriptor)
    return false;
#endif
}

qint64 ArrivalTime::fromControlData(const msghdr &header)
{
#if defined(Q_OS_LINUX) && defined(SCM_TIMESTAMPNS)
    // CMSG_NXTHDR takes a pointer to a header it does not change.
    auto *message = const_cast<msghdr *>(&header);
    for (cmsghdr *control = CMSG_FIRSTHDR(message); control;
         control = CMSG_NXTHDR(message, control)) {
        if (control->cmsg_level == SOL_SOCKET && control->cmsg_type == SCM_TIMESTAMPNS
            && control->cmsg_len >= CMSG_LEN(sizeof(timespec))) {
            timespec time;
            memcpy(&time, CMSG_DATA(control), sizeof(time));
            return qint64(time.tv_sec) * 1000000000 + qint64(time.tv_nsec);
        }
    }
#else
    Q_UNUSED(header)
#endif
    return 0;
}

SenderAddress SenderAddress::fromSocketAddress(const void *socketAddress, unsigned length)
{
    SenderAddress sender;
#ifdef Q_OS_UNIX
    sa_family_t kind = AF_UNSPEC;
    if (length >= sizeof(sa_family_t))
        memcpy(&kind, static_cast<const char *>(socketAddress) + offsetof(sockaddr, sa_family),
               sizeof(kind));
    if (kind == AF_INET && length >= sizeof(sockaddr_in)) {
        sockaddr_in address;
        memcpy(&address, socketAddress, sizeof(address));
        memcpy(sender.bytes.data(), &address.sin_addr, 4);
        sender.portNumber = ntohs(address.sin_port);
        sender.family = IPv4;
    } else if (kind == AF_INET6 && length >= sizeof(sockaddr_in6)) {
        sockaddr_in6 address;
        memcpy(&address, socketAddress, sizeof(address));
        sender.portNumber = ntohs(address.sin6_port);
        // A socket bound to every interface of both kinds sees IPv4 senders as IPv6
        // addresses made from them: they are told as what they are.
        if (IN6_IS_ADDR_V4MAPPED(&address.sin6_addr)) {
            memcpy(sender.bytes.data(), &address.sin6_addr.s6_addr[12], 4);
            sender.family = IPv4;
        } else {
            memcpy(sender.bytes.data(), &address.sin6_addr, 16);
            sender.scopeId = address.sin6_scope_id;
            sender.family = IPv6;
        }
    }
#else
    Q_UNUSED(socketAddress)
    Q_UNUSED(length)
#endif
    return sender;
}

SenderAddress SenderAddress::fromHostAddress(const QHostAddress &address, quint16 port)
{
    SenderAddress sender;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 ip = address.toIPv4Address();
        const quint8 networkOrder[4] = {quint8(ip >> 24), quint8(ip >> 16), quint8(ip >> 8),
                                        quint8(ip)};
        memcpy(sender.bytes.data(), networkOrder, 4);
        sender.family = IPv4;
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR ip = address.toIPv6Address();
        memcpy(sender.bytes.data(), ip.c, 16);
        sender.scopeId = address.scopeId().toUInt();
        sender.family = IPv6;
    } else {
        return sender;
    }
    sender.portNumber = port;
    return sender;
}

QHostAddress SenderAddress::address() const
{
    switch (family) {
    case IPv4:
        return QHostAddress(quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16
                            | quint32(bytes[2]) << 8 | quint32(bytes[3]));
    case IPv6: {
        QHostAddress address(bytes.data());
        if (scopeId != 0)
            address.setScopeId(QString::number(scopeId));
        return address;
    }
    case None:
        break;
    }
    return QHostAddress();
}

QString SenderAddress::toString() const
{
    if (isNull())
        return QString();
    const QString host = address().toString();
    return (family == IPv6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) + QLatin1Char(':')
        + QString::number(portNumber);
}

SenderAddress::HashValue SenderAddress::hash(HashValue seed) const
{
    const quint64 rest = quint64(portNumber) | quint64(family) << 16 | quint64(scopeId) << 24;
    return qHashBits(bytes.data(), bytes.size(), seed) ^ qHash(rest, seed);
}

bool SenderAddress::operator==(const SenderAddress &other) const
{
    return family == other.family && portNumber == other.portNumber && scopeId == other.scopeId
        && bytes == other.bytes;
}
