// corvane::Sender and the message handler over loopback, to sockets that stand in for a viewer.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/logmessage.h"
#include "senderharness.h"
#include "testsupport.h"

#include <corvane/client.h>

#include <QLoggingCategory>
#include <QThread>
#include <QtTest>

#include <thread>

Q_LOGGING_CATEGORY(netCategory, "app.net")
Q_LOGGING_CATEGORY(dbCategory, "app.db")

class ClientSenderTest : public QObject
{
    Q_OBJECT

private slots:
    void textsReachTheirPanes();
    void addressesOfEveryForm_data();
    void addressesOfEveryForm();
    void unusableAddressesDropAndCount_data();
    void unusableAddressesDropAndCount();
    void absentViewerIsNoticedAndSkipped();
    void threadsShareOneSender();
    void handlerSendsEveryKindAndPassesItOn();
    void handlerMapsCategoriesAndCanBeRemoved();
};

namespace {

// Qt's own pattern, which an empty one would not bring back.
const QString defaultPattern = QStringLiteral("%{if-category}%{category}: %{endif}%{message}");

QString localAddress(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

// The viewer's reading of every datagram that arrived.
QList<LogMessage> messagesOf(Receiver &viewer)
{
    QList<LogMessage> messages;
    for (const QByteArray &payload : viewer.payloads())
        messages.append(LogMessage::fromDatagram(payload));
    return messages;
}

// A handler that the program installs on top of the library's: it notes each message and
// passes it on.
QtMessageHandler belowOnTop = nullptr;
QStringList seenOnTop;
void handleOnTop(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    seenOnTop.append(message);
    belowOnTop(type, context, message);
}

} // namespace

void ClientSenderTest::textsReachTheirPanes()
{
    Receiver viewer;
    corvane::Sender sender(localAddress(viewer.port()));
    QVERIFY(sender.isValid());
    QCOMPARE(sender.peerAddress(), QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(sender.peerPort(), viewer.port());
    QCOMPARE(sender.textFormat(), corvane::TextFormat::AsIs); // markup goes as it is
    sender.setCaptions({"Net", "Db"});
    QVERIFY(sender.send(3, QStringLiteral("button <b>pressed</b>")));
    QVERIFY(sender.send({QStringLiteral("one"), QString(), QString(), QStringLiteral("four")}));
    QVERIFY(sender.sendDatagram(R"({"tabs":["A","B","C","D"],"log2":"raw"})"));

    const QList<LogMessage> messages = messagesOf(viewer);
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages[0].captions, QStringList({"Net", "Db", "Log 3", "Log4"}));
    QCOMPARE(messages[0].texts[2], QStringLiteral("button <b>pressed</b>"));
    QVERIFY(messages[0].texts[0].isEmpty());
    QCOMPARE(messages[1].texts[0], QStringLiteral("one"));
    QCOMPARE(messages[1].texts[3], QStringLiteral("four"));
    QCOMPARE(messages[2].texts[1], QStringLiteral("raw"));
    // Numbered and named, all but the raw payload.
    QCOMPARE(messages[0].seq, quint64(1));
    QCOMPARE(messages[1].seq, quint64(2));
    QCOMPARE(messages[2].seq, quint64(0));
    QCOMPARE(messages[1].app, QStringLiteral("tst_clientsender"));
    QCOMPARE(sender.droppedCount(), quint64(0));
    QCOMPARE(sender.error(), corvane::Sender::NoError);

    // A pane that does not exist sends nothing and counts.
    QVERIFY(!sender.send(0, QStringLiteral("x")));
    QVERIFY(!sender.send(5, QStringLiteral("x")));
    QCOMPARE(sender.droppedCount(), quint64(2));
    QCOMPARE(sender.error(), corvane::Sender::SendError);
    // So does a payload too large for one datagram.
    QVERIFY(!sender.sendDatagram(QByteArray(corvane::maxDatagramSize + 1, 'x')));
    QCOMPARE(sender.droppedCount(), quint64(3));
    QCOMPARE(viewer.payloads().size(), 3);
    // A text split over two datagrams leaves room in each for its number.
    QVERIFY(sender.send(1, QString(100000, QLatin1Char('y'))));
    viewer.waitFor(5);
    const QList<LogMessage> pieces = messagesOf(viewer).mid(3);
    QCOMPARE(pieces.size(), 2);
    QCOMPARE(pieces[0].seq, quint64(3));
    QCOMPARE(pieces[1].seq, quint64(4));
}

void ClientSenderTest::addressesOfEveryForm_data()
{
    QTest::addColumn<QString>("listenOn");
    QTest::addColumn<QString>("address"); // %1 is the port
    QTest::addColumn<bool>("fromEnvironment");

    QTest::newRow("IPv4") << "127.0.0.1"
                          << "127.0.0.1:%1" << false;
    QTest::newRow("name, resolved to IPv4") << "127.0.0.1"
                                            << "localhost:%1" << false;
    QTest::newRow("IPv6") << "::1"
                          << "[::1]:%1" << false;
    QTest::newRow("CORVANE_ADDRESS") << "127.0.0.1"
                                     << "127.0.0.1:%1" << true;
    QTest::newRow("CORVANE_ADDRESS, IPv6") << "::1"
                                           << "[::1]:%1" << true;
}

void ClientSenderTest::addressesOfEveryForm()
{
    QFETCH(QString, listenOn);
    QFETCH(QString, address);
    QFETCH(bool, fromEnvironment);

    QUdpSocket viewer;
    QVERIFY(viewer.bind(QHostAddress(listenOn), 0));
    const QString given = address.arg(viewer.localPort());
    std::unique_ptr<corvane::Sender> sender;
    if (fromEnvironment) {
        qputenv("CORVANE_ADDRESS", given.toUtf8());
        sender = std::make_unique<corvane::Sender>();
        qunsetenv("CORVANE_ADDRESS");
    } else {
        sender = std::make_unique<corvane::Sender>(given);
    }
    QVERIFY2(sender->isValid(), qPrintable(sender->errorString()));
    QCOMPARE(sender->peerAddress(), QHostAddress(listenOn));
    QVERIFY(sender->send(2, QStringLiteral("hello")));
    QTRY_VERIFY(viewer.hasPendingDatagrams());
    QByteArray payload(int(viewer.pendingDatagramSize()), '\0');
    viewer.readDatagram(payload.data(), payload.size());
    QCOMPARE(LogMessage::fromDatagram(payload).texts[1], QStringLiteral("hello"));
}

void ClientSenderTest::unusableAddressesDropAndCount_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");

    QTest::newRow("no address") << "host:" << int(corvane::Sender::AddressError) << "is no address";
    QTest::newRow("unknown host") << "no-such-host.invalid:1947"
                                  << int(corvane::Sender::AddressError) << "cannot resolve";
    // A link-local address whose scope names no interface: the system refuses to send there.
    QTest::newRow("no route") << "[fe80::1%999]:1947" << int(corvane::Sender::SendError)
                              << "cannot send to fe80::1%999 port 1947";
}

void ClientSenderTest::unusableAddressesDropAndCount()
{
    QFETCH(QString, address);
    QFETCH(int, error);
    QFETCH(QString, message);

    const MessageCatcher printed;
    corvane::Sender sender(address);
    QCOMPARE(sender.isValid(), error != corvane::Sender::AddressError);
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(!sender.send(1, QStringLiteral("lost")));
        QCOMPARE(sender.droppedCount(), quint64(i));
    }
    QCOMPARE(int(sender.error()), error);
    QVERIFY2(sender.errorString().contains(message), qPrintable(sender.errorString()));
    // The program hears nothing of it, not even a warning from Qt.
    QCOMPARE(printed.messages(), QStringList());
}

void ClientSenderTest::absentViewerIsNoticedAndSkipped()
{
    const quint16 port = freeUdpPort();
    corvane::Sender sender(localAddress(port));
    // The first datagram goes out and finds nobody; the system says so on the next call,
    // which goes out after all. Then the sender stops trying for a while.
    QVERIFY(sender.send(1, QStringLiteral("first")));
    QVERIFY(sender.send(1, QStringLiteral("second")));
    QCOMPARE(sender.droppedCount(), quint64(1));
    QCOMPARE(sender.error(), corvane::Sender::ViewerAbsent);
    QVERIFY(!sender.send(1, QStringLiteral("third")));
    QCOMPARE(sender.droppedCount(), quint64(2));
    QVERIFY(sender.errorString().contains(QString::number(port)));

    // A viewer that starts listening gets texts again once the quiet spell is over.
    QUdpSocket viewer;
    QVERIFY(viewer.bind(QHostAddress(QHostAddress::LocalHost), port));
    // The check is made again after it first holds, so it sends only until one went out. The
    // spell lasts a tenth of a second, so the sender tries again well within a second.
    const QString again = QStringLiteral("again");
    bool sentAgain = false;
    QTRY_VERIFY_WITH_TIMEOUT((sentAgain = sentAgain || sender.send(1, again)), hangBoundMs(1000));
    QTRY_VERIFY(viewer.hasPendingDatagrams());
    QByteArray payload(int(viewer.pendingDatagramSize()), '\0');
    viewer.readDatagram(payload.data(), payload.size());
    QCOMPARE(LogMessage::fromDatagram(payload).texts[0], again);
}

void ClientSenderTest::threadsShareOneSender()
{
    Receiver viewer;
    corvane::Sender sender(localAddress(viewer.port()));
    const MessageCatcher printed;
    constexpr int perThread = 300;
    auto work = [&sender](int pane) {
        for (int i = 0; i < perThread; ++i)
            sender.send(pane, QString::number(i));
    };
    // Threads with an event loop of their own and threads without one.
    std::unique_ptr<QThread> qtThreads[2] = {std::unique_ptr<QThread>(QThread::create(work, 1)),
                                             std::unique_ptr<QThread>(QThread::create(work, 2))};
    for (auto &thread : qtThreads)
        thread->start();
    std::thread plain[2] = {std::thread(work, 3), std::thread(work, 4)};
    for (auto &thread : qtThreads)
        QVERIFY(thread->wait(60000));
    for (std::thread &thread : plain)
        thread.join();

    QCOMPARE(viewer.waitFor(4 * perThread).size(), 4 * perThread);
    // Each thread's texts arrive in the order it sent them, numbered in the order sent.
    int next[corvane::paneCount] = {};
    quint64 seq = 0;
    for (const LogMessage &message : messagesOf(viewer)) {
        QCOMPARE(message.seq, ++seq);
        for (int pane = 0; pane < corvane::paneCount; ++pane) {
            if (!message.texts[pane].isEmpty())
                QCOMPARE(message.texts[pane], QString::number(next[pane]++));
        }
    }
    QCOMPARE(sender.droppedCount(), quint64(0));
    QCOMPARE(printed.messages(), QStringList());
}

void ClientSenderTest::handlerSendsEveryKindAndPassesItOn()
{
    Receiver viewer;
    const MessageCatcher previous; // the handler installed before
    qSetMessagePattern(QStringLiteral("[%{type}] %{message}"));
    corvane::MessageHandlerOptions options;
    options.address = localAddress(viewer.port());
    QVERIFY(corvane::installMessageHandler(options));

    qDebug("debug <b>not bold</b>");
    qInfo("info");
    std::thread([] { qWarning("warning from a thread without an event loop"); }).join();
    qCritical("critical & more");
    // Installing again only changes the options: each message still reaches the handler
    // before exactly once.
    options.textFormat = corvane::TextFormat::AsIs;
    QVERIFY(corvane::installMessageHandler(options));
    qInfo("<i>markup</i>");
    corvane::removeMessageHandler();
    qSetMessagePattern(defaultPattern);
    qDebug("after removal");

    QCOMPARE(
        previous.messages(),
        QStringList({"debug <b>not bold</b>", "info", "warning from a thread without an event loop",
                     "critical & more", "<i>markup</i>", "after removal"}));
    // Exact text until the options changed: markup escaped, in an element that keeps spaces.
    // Each numbered, with the program's name.
    const auto tabs = [](int seq) {
        return R"("tabs":["Debug","Info","Warning","Error"],"seq":)" + QByteArray::number(seq)
            + R"(,"app":"tst_clientsender"})";
    };
    const QList<QByteArray> expected = {
        R"({"log1":"<span style=\"white-space:pre-wrap\">[debug] debug )"
        R"(&lt;b&gt;not bold&lt;/b&gt;</span>",)"
            + tabs(1),
        R"({"log2":"[info] info",)" + tabs(2),
        R"({"log3":"[warning] warning from a thread without an event loop",)" + tabs(3),
        R"({"log4":"<span style=\"white-space:pre-wrap\">[critical] critical &amp; more</span>",)"
            + tabs(4),
        R"({"log2":"[info] <i>markup</i>",)" + tabs(1)}; // a new handler counts afresh
    QCOMPARE(viewer.payloads(), expected);
    QCOMPARE(corvane::droppedMessageCount(), quint64(0));
}

void ClientSenderTest::handlerMapsCategoriesAndCanBeRemoved()
{
    Receiver viewer;
    const MessageCatcher previous;
    corvane::MessageHandlerOptions options;
    options.address = localAddress(viewer.port());
    options.captions = QStringList {"Net", "Db", "", "Rest"};
    options.categoryPanes = {{"app.net", 1}, {"app.db", 2}, {"*", 4}, {"broken", 7}};
    // The entry that names no pane is reported and left out; the others work.
    QVERIFY(!corvane::installMessageHandler(options));
    qCDebug(netCategory, "net");
    qCCritical(dbCategory, "db");
    qWarning("default");
    corvane::removeMessageHandler();
    qCWarning(netCategory, "not sent");

    // With a viewer address that is no use, messages are counted and still passed on.
    options.address = QStringLiteral("no address");
    QVERIFY(!corvane::installMessageHandler(options));
    qWarning("dropped");
    QCOMPARE(corvane::droppedMessageCount(), quint64(1));
    corvane::removeMessageHandler();

    // A handler installed on top of the library's stays when the library's is removed, and
    // still reaches the one before through it, which no longer sends.
    options = corvane::MessageHandlerOptions();
    options.address = localAddress(viewer.port());
    QVERIFY(corvane::installMessageHandler(options));
    belowOnTop = qInstallMessageHandler(handleOnTop);
    qWarning("under another");
    corvane::removeMessageHandler();
    qWarning("after removal");
    QVERIFY(qInstallMessageHandler(belowOnTop) == &handleOnTop);
    QCOMPARE(seenOnTop, QStringList({"under another", "after removal"}));
    // Installed and removed again, it leaves the chain as it found it.
    QVERIFY(corvane::installMessageHandler(options));
    corvane::removeMessageHandler();

    QCOMPARE(previous.messages(),
             QStringList({"net", "db", "default", "not sent", "dropped", "under another",
                          "after removal"}));
    const QList<LogMessage> messages = messagesOf(viewer);
    QCOMPARE(messages.size(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(messages[i].captions, QStringList({"Net", "Db", "Log 3", "Rest"}));
    QCOMPARE(messages[0].texts[0], QStringLiteral("app.net: net"));
    QCOMPARE(messages[1].texts[1], QStringLiteral("app.db: db"));
    QCOMPARE(messages[2].texts[3], QStringLiteral("default"));
    QCOMPARE(messages[3].texts[2], QStringLiteral("under another"));
}

QTEST_MAIN(ClientSenderTest)
#include "tst_clientsender.moc"
