// Reads a UDP socket's drop counter from Linux's socket tables.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/socketdrops.h"

#include <QFile>
#include <QList>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

qint64 dropsInSocketTable(const QByteArray &table, quint64 inode)
{
    // "sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout
    // inode ref pointer drops", one socket a line below the heading.
    const int inodeColumn = 9;
    const int dropsColumn = 12;
    const QList<QByteArray> lines = table.split('\n');
    for (int row = 1; row < lines.size(); ++row) {
        const QList<QByteArray> fields = lines.at(row).simplified().split(' ');
        if (fields.size() <= dropsColumn)
            continue;
        bool ok = false;
        if (fields.at(inodeColumn).toULongLong(&ok) != inode || !ok)
            continue;
        const qint64 drops = fields.at(dropsColumn).toLongLong(&ok);
        return ok && drops >= 0 ? drops : -1;
    }
    return -1;
}

qint64 droppedDatagrams(qintptr socketDescriptor)
{
#ifdef Q_OS_LINUX
    struct stat status;
    if (socketDescriptor < 0 || fstat(int(socketDescriptor), &status) != 0)
        return -1;
    for (const char *path : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile file {QLatin1String(path)};
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const qint64 drops = dropsInSocketTable(file.readAll(), quint64(status.st_ino));
        if (drops >= 0)
            return drops;
    }
#else
    Q_UNUSED(socketDescriptor)
#endif
    return -1;
}
