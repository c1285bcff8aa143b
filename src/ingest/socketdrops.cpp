// Counts the datagrams the system dropped at a socket from what it says when they are read.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/socketdrops.h"

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/sock_diag.h>
#endif

bool SocketDrops::askForCount(int socketDescriptor)
{
#if defined(Q_OS_LINUX) && defined(SO_RXQ_OVFL)
    const int on = 1;
    return ::setsockopt(socketDescriptor, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof(on)) == 0;
#else
    Q_UNUSED(socketDescriptor)
    return false;
#endif
}

void SocketDrops::readControlData(const msghdr &header)
{
#if defined(Q_OS_LINUX) && defined(SO_RXQ_OVFL)
    // CMSG_NXTHDR takes a pointer to a header it does not change.
    auto *message = const_cast<msghdr *>(&header);
    for (cmsghdr *control = CMSG_FIRSTHDR(message); control;
         control = CMSG_NXTHDR(message, control)) {
        if (control->cmsg_level == SOL_SOCKET && control->cmsg_type == SO_RXQ_OVFL
            && control->cmsg_len >= CMSG_LEN(sizeof(quint32))) {
            quint32 systemCount;
            memcpy(&systemCount, CMSG_DATA(control), sizeof(systemCount));
            update(systemCount);
        }
    }
#else
    Q_UNUSED(header)
#endif
}

void SocketDrops::readFromSocket(int socketDescriptor)
{
#if defined(Q_OS_LINUX) && defined(SO_MEMINFO)
    quint32 memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof(memory);
    if (::getsockopt(socketDescriptor, SOL_SOCKET, SO_MEMINFO, memory, &length) == 0
        && length > SK_MEMINFO_DROPS * sizeof(quint32)) {
        update(memory[SK_MEMINFO_DROPS]);
    }
#else
    Q_UNUSED(socketDescriptor)
#endif
}

void SocketDrops::update(quint32 systemCount)
{
    // A datagram that arrived just before the count was asked for brings an older count:
    // it stays as it is. Between two reads the system drops far fewer than 2^31.
    const quint32 grown = systemCount - last;
    if (grown >= 0x80000000u)
        return;
    total += grown;
    last = systemCount;
}
