// How many datagrams the system dropped at a UDP socket, where the system keeps count.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SOCKETDROPS_H
#define SOCKETDROPS_H

#include <QByteArray>
#include <QtGlobal>

// Datagrams the system dropped at the socket since it was made, because they arrived while its
// receive buffer was full; -1 where the system keeps no such count.
qint64 droppedDatagrams(qintptr socketDescriptor);

// The "drops" column of the row for the socket with this inode in a table such as Linux's
// /proc/net/udp or /proc/net/udp6; -1 when no row has that inode.
qint64 dropsInSocketTable(const QByteArray &table, quint64 inode);

#endif // SOCKETDROPS_H
