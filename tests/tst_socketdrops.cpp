// The system's count of the datagrams it dropped at a socket, as the reading thread keeps it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/socketdrops.h"

#include <QUdpSocket>
#include <QtTest>

class SocketDropsTest : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void aFreshSocketHasDroppedNothing();
};

void SocketDropsTest::counts_data()
{
    QTest::addColumn<QVector<quint32>>("systemCounts");
    QTest::addColumn<qint64>("drops");
    QTest::newRow("growing") << QVector<quint32>({3, 3, 10}) << qint64(10);
    QTest::newRow("past 32 bits") << QVector<quint32>({0x70000000u, 0xe0000000u, 0x20u})
                                  << qint64(0x100000020);
    // A datagram that arrived before the count was asked for brings an older count.
    QTest::newRow("an older count") << QVector<quint32>({10, 7, 12}) << qint64(12);
}

void SocketDropsTest::counts()
{
    QFETCH(QVector<quint32>, systemCounts);
    QFETCH(qint64, drops);
    SocketDrops socketDrops;
    for (const quint32 count : systemCounts)
        socketDrops.update(count);
    QCOMPARE(socketDrops.count(), drops);
}

void SocketDropsTest::aFreshSocketHasDroppedNothing()
{
    for (const QHostAddress &address :
         {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
        QUdpSocket socket;
        QVERIFY(socket.bind(address, 0));
#ifdef Q_OS_LINUX
        QVERIFY(SocketDrops::askForCount(int(socket.socketDescriptor())));
        SocketDrops socketDrops;
        socketDrops.readFromSocket(int(socket.socketDescriptor()));
        QCOMPARE(socketDrops.count(), qint64(0));
#endif
    }
    QVERIFY(!SocketDrops::askForCount(-1));
}

QTEST_GUILESS_MAIN(SocketDropsTest)
#include "tst_socketdrops.moc"
