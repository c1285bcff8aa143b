// Reading a socket's drop count from the system's socket tables.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/socketdrops.h"

#include <QUdpSocket>
#include <QtTest>

class SocketDropsTest : public QObject
{
    Q_OBJECT

private slots:
    void tableRows_data();
    void tableRows();
    void aFreshSocketHasDroppedNothing();
};

namespace {

const QByteArray heading = "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when "
                           "retrnsmt   uid  timeout inode ref pointer drops            \n";

QByteArray row(const QByteArray &inode, const QByteArray &drops)
{
    return "  981: 0100007F:079B 00000000:0000 07 00000000:00000000 00:00000000 00000000     0   "
           "     0 "
        + inode + " 2 000000009a4b2c6e " + drops + "\n";
}

} // namespace

void SocketDropsTest::tableRows_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<qint64>("drops");
    QTest::newRow("its row") << heading + row("4711", "0") + row("31337", "12345") << qint64(12345);
    QTest::newRow("no drops") << heading + row("31337", "0") << qint64(0);
    QTest::newRow("another socket's row") << heading + row("4711", "9") << qint64(-1);
    QTest::newRow("inode as a prefix") << heading + row("313370", "9") << qint64(-1);
    QTest::newRow("cut short") << heading + QByteArray("  1: 0100007F:079B 31337\n") << qint64(-1);
    QTest::newRow("drops not a number") << heading + row("31337", "x") << qint64(-1);
    QTest::newRow("heading only") << heading << qint64(-1);
    QTest::newRow("empty") << QByteArray() << qint64(-1);
}

void SocketDropsTest::tableRows()
{
    QFETCH(QByteArray, table);
    QFETCH(qint64, drops);
    QCOMPARE(dropsInSocketTable(table, 31337), drops);
}

void SocketDropsTest::aFreshSocketHasDroppedNothing()
{
    for (const QHostAddress &address :
         {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
        QUdpSocket socket;
        QVERIFY(socket.bind(address, 0));
#ifdef Q_OS_LINUX
        QCOMPARE(droppedDatagrams(socket.socketDescriptor()), qint64(0));
#endif
    }
    QCOMPARE(droppedDatagrams(-1), qint64(-1));
}

QTEST_GUILESS_MAIN(SocketDropsTest)
#include "tst_socketdrops.moc"
