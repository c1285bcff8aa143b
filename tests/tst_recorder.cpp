// tst_recorder: recordings written, kept within their size, stopped by failures, killed, read
// back, opened with a time range, exported and replayed.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "record/recordexport.h"
#include "record/recordingview.h"
#include "record/recordreader.h"
#include "record/recordwriter.h"
#include "window/directfeed.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>

namespace {

const qint64 second = 1000000000;
const qint64 startTime = 1796761082 * second; // 2026-12-08, in the afternoon

LogMessage messageAt(qint64 time, const QString &text, int pane = 0)
{
    LogMessage message;
    message.captions = QStringList {"A", "B", "C", "D"};
    message.texts[size_t(pane)] = text;
    message.arrivalTime = time;
    message.sender = SenderAddress::fromHostAddress(QHostAddress::LocalHost, 4000);
    return message;
}

bool writeRecording(const QString &path, const QVector<LogMessage> &messages, qint64 limit = 0)
{
    RecordWriter writer;
    return writer.open(path, limit) && writer.write({messages});
}

// The first column of the query's first row.
QString query(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    QString answer;
    if (sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        answer =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return answer;
}

QList<QJsonObject> exported(const QString &path)
{
    QList<QJsonObject> objects;
    std::FILE *out = std::tmpfile();
    QString error;
    if (!exportRecording(path, TimeRange(), out, &error))
        return objects;
    std::rewind(out);
    char line[4096];
    while (std::fgets(line, sizeof line, out))
        objects.append(QJsonDocument::fromJson(line).object());
    std::fclose(out);
    return objects;
}

QString statusRowText(const MainWindow &window)
{
    const auto *label = window.findChild<QLabel *>(QStringLiteral("uiRecording"));
    return label && !label->isHidden() ? label->text() : QString();
}

} // namespace

class RecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void sizeLimitLetsOldestGo();
    void failedWriteStopsRecording_data();
    void failedWriteStopsRecording();
    void menuRecordsWhatArrives();
    void killedMidFloodLeavesWholeFile();
    void timeBound_data();
    void timeBound();
    void openShowsRange_data();
    void openShowsRange();
    void replayKeepsOrderAndPace_data();
    void replayKeepsOrderAndPace();

private:
    QTemporaryDir dir;
};

void RecorderTest::roundTrip_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("address");
    QTest::addColumn<quint64>("seq");
    QTest::addColumn<QString>("app");
    QTest::newRow("one pane") << QStringList {"connected", "", "", ""} << "127.0.0.1" << quint64(0)
                              << QString();
    QTest::newRow("every pane, seq and app")
        << QStringList {"a", "b", "c", "d"} << "10.1.2.3" << quint64(1) << "billing";
    QTest::newRow("markup, lines, non-ASCII")
        << QStringList {"", "<b>ñ</b> & \"q\"\n\tx", "", "日本 🦊"} << "127.0.0.1"
        << quint64(18446744073709551615ull) << "ü";
    QTest::newRow("IPv6 sender") << QStringList {"", "", "six", ""} << "::1" << quint64(7)
                                 << QString();
    QTest::newRow("captions only")
        << QStringList {"", "", "", ""} << "127.0.0.1" << quint64(0) << QString();
}

void RecorderTest::roundTrip()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, address);
    QFETCH(quint64, seq);
    QFETCH(QString, app);
    LogMessage message = messageAt(startTime + 123456789, QString());
    message.captions = QStringList {"Net", "Db", "", "Misc \"1\""};
    for (int pane = 0; pane < 4; ++pane)
        message.texts[size_t(pane)] = texts.at(pane);
    message.sender = SenderAddress::fromHostAddress(QHostAddress(address), 5000);
    message.seq = seq;
    message.app = app;
    const QString path = dir.filePath(QTest::currentDataTag() + QStringLiteral(".sqlite"));
    QVERIFY(writeRecording(path, {messageAt(startTime, "before"), message}));

    RecordReader reader;
    QVERIFY(reader.open(path));
    const QVector<LogMessage> read = reader.newestMessages(TimeRange(), 0);
    QVERIFY(!read.isEmpty());
    const LogMessage &back = read.last();
    QCOMPARE(back.captions, message.captions);
    for (int pane = 0; pane < 4; ++pane)
        QCOMPARE(back.texts[size_t(pane)], message.texts[size_t(pane)]);
    QCOMPARE(back.arrivalTime, message.arrivalTime);
    QCOMPARE(back.sender, message.sender);
    QCOMPARE(back.seq, seq);
    QCOMPARE(back.app, app);

    // Exported: one line a text, the line "before" first.
    const QList<QJsonObject> lines = exported(path);
    QStringList textsExported;
    for (const QJsonObject &line : lines.mid(1)) {
        const int pane = line.value("pane").toInt();
        QCOMPARE(line.value("time").toString(), QStringLiteral("2026-12-08T20:18:02.123456789Z"));
        QCOMPARE(line.value("sender").toString(), message.sender.toString());
        QCOMPARE(line.value("app").toString(), app); // null reads as empty
        QCOMPARE(line.value("caption").toString(), message.captions.at(pane - 1));
        QCOMPARE(line.value("text").toString(), texts.at(pane - 1));
        textsExported.append(line.value("text").toString());
    }
    texts.removeAll(QString());
    QCOMPARE(textsExported, texts);
}

void RecorderTest::sizeLimitLetsOldestGo()
{
    const QString path = dir.filePath(QStringLiteral("limited.sqlite"));
    const qint64 limit = 256 * 1024;
    RecordWriter writer;
    QVERIFY(writer.open(path, limit));
    const QString filler(200, QLatin1Char('x'));
    int written = 0;
    for (int batch = 0; batch < 40; ++batch) {
        QVector<LogMessage> messages;
        for (int i = 0; i < 250; ++i, ++written)
            messages.append(messageAt(startTime + written, QString::number(written) + filler));
        QVERIFY2(writer.write({messages}), qPrintable(writer.error()));
        QVERIFY(QFileInfo(path).size() <= limit);
    }
    QCOMPARE(query(path, "SELECT min(text) = '0' || '" + filler + "' FROM texts"), "0");
    QCOMPARE(query(path, "SELECT count(*) FROM texts WHERE text = '9999" + filler + "'"), "1");
    QVERIFY(query(path, "SELECT count(*) FROM texts").toInt() > 500);
}

void RecorderTest::failedWriteStopsRecording_data()
{
    QTest::addColumn<bool>("diskFull"); // else another program holds the file locked
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << true << "disk";
    QTest::newRow("locked by another program") << false << "locked";
}

// The recording stops and says why; the window goes on showing what arrives.
void RecorderTest::failedWriteStopsRecording()
{
    QFETCH(bool, diskFull);
    QFETCH(QString, reason);
    TestHome home;
    home.useFreePort();
    const QString path = dir.filePath(QTest::currentDataTag() + QStringLiteral(".sqlite"));
    QVERIFY(writeRecording(path, {messageAt(startTime, "first")}));
    sqlite3 *holder = nullptr;
    rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    // Whatever the outcome, this process and the programs it starts later write as before.
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &before);
        sqlite3_close(holder);
    });
    if (diskFull) {
        // Files of this process grow no larger than this: writes beyond fail as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 300 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    } else {
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    {
        MainWindow window;
        window.record(path, 0);
        const QString filler(1000, QLatin1Char('y'));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                processDatagrams(window, {message({}, filler), message({}, filler)});
                return statusRowText(window).startsWith("Recording stopped: ");
            }(),
            hangBoundMs(20000));
        QVERIFY2(statusRowText(window).contains(reason), qPrintable(statusRowText(window)));
        processDatagrams(window, {message({}, "still shown")});
        QVERIFY(WindowWidgets(window).paneTexts().first().endsWith("still shown"));
    }
}

void RecorderTest::menuRecordsWhatArrives()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    const QString path = dir.filePath(QStringLiteral("menu.sqlite"));
    MainWindow window;
    window.setSavePathChooser([&] { return path; });
    window.findChild<QAction *>("actionRecord")->trigger();
    QVERIFY(sendDatagram(
        port, R"({"tabs":["Net"],"log1":"one","log3":"three","seq":5,"app":"billing"})"));
    QTRY_VERIFY(statusRowText(window).startsWith("Recording to menu.sqlite ("));
    QTRY_COMPARE(query(path, "SELECT group_concat(text) FROM texts"), "one,three");
    auto *stop = window.findChild<QAction *>("actionStopRecording");
    QVERIFY(stop->isEnabled());
    stop->trigger();
    QCOMPARE(statusRowText(window), QString());
    QVERIFY(!stop->isEnabled());
    QCOMPARE(query(path, "SELECT sender LIKE '127.0.0.1:%' AND time > 0 FROM datagrams"), "1");
    QCOMPARE(query(path, "SELECT seq || app FROM datagrams"), "5billing");

    // Log, Open recording...: a window of its own, which goes when closed.
    window.findChild<QAction *>("actionOpenRecording")->trigger();
    MainWindow *opened = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget != &window && qobject_cast<MainWindow *>(widget))
            opened = static_cast<MainWindow *>(widget);
    }
    QVERIFY(opened && opened->testAttribute(Qt::WA_DeleteOnClose));
    const QStringList shown = WindowWidgets(*opened).paneTexts();
    QCOMPARE(shown, QStringList({"one", "", "three", ""}));
    delete opened;
}

// A viewer killed in a flood leaves a sound file with every datagram up to a second before.
void RecorderTest::killedMidFloodLeavesWholeFile()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    const QString path = dir.filePath(QStringLiteral("killed.sqlite"));
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    viewer.setProcessEnvironment(environment);
    viewer.start(CORVANE_PROGRAM, {"--record", path});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path + "-wal"), hangBoundMs(10000));

    // Paced at 5,000 a second, far below what the viewer takes: none is lost at the socket. A
    // sanitizer's build gets a slower flood and a wider second.
    QElapsedTimer clock;
    clock.start();
    QVector<qint64> sentAt;
    QTimer pacer;
    pacer.setInterval(2);
    connect(&pacer, &QTimer::timeout, [&] {
        for (qint64 due = clock.elapsed() * 5 / buildSlowdown; sentAt.size() < due;) {
            sentAt.append(clock.elapsed());
            QVERIFY(sendDatagram(port, message({}, QString::number(sentAt.size()))));
        }
    });
    pacer.start();
    QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() > 2500, 10000);
    viewer.kill(); // SIGKILL
    const qint64 killedAt = clock.elapsed();
    pacer.stop();
    QVERIFY(viewer.waitForFinished());

    QCOMPARE(query(path, "PRAGMA integrity_check"), "ok");
    const int recorded = query(path, "SELECT count(*) FROM texts").toInt();
    const int lastRecorded = query(path, "SELECT max(CAST(text AS INTEGER)) FROM texts").toInt();
    int dueBySecondBefore = 0;
    while (dueBySecondBefore < sentAt.size()
           && sentAt.at(dueBySecondBefore) <= killedAt - hangBoundMs(1000))
        ++dueBySecondBefore;
    QVERIFY2(recorded == lastRecorded && recorded >= dueBySecondBefore,
             qPrintable(QStringLiteral("%1 recorded, the last %2, %3 sent up to a second before")
                            .arg(recorded)
                            .arg(lastRecorded)
                            .arg(dueBySecondBefore)));
}

void RecorderTest::timeBound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("resolved"); // with the recording's end at startTime
    const qint64 tenToday = QDateTime(QDate::currentDate(), QTime(10, 0)).toMSecsSinceEpoch();
    const qint64 morning = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 30)).toMSecsSinceEpoch();
    QTest::newRow("nothing") << "" << int(TimeBound::Open) << qint64(-1);
    QTest::newRow("-10m") << "-10m" << int(TimeBound::BeforeEnd) << startTime - 600 * second;
    QTest::newRow("-90s") << "-90s" << int(TimeBound::BeforeEnd) << startTime - 90 * second;
    QTest::newRow("-2h") << "-2h" << int(TimeBound::BeforeEnd) << startTime - 7200 * second;
    QTest::newRow("-1d") << " -1d " << int(TimeBound::BeforeEnd) << startTime - 86400 * second;
    QTest::newRow("date and time")
        << "2026-12-08 10:00:30" << int(TimeBound::At) << morning * 1000000;
    QTest::newRow("ISO") << "2026-12-08T10:00:30" << int(TimeBound::At) << morning * 1000000;
    QTest::newRow("today") << "10:00" << int(TimeBound::At) << tenToday * 1000000;
    for (const char *wrong : {"10m", "-10", "-1w", "25:00", "2026-13-01", "yesterday"})
        QTest::newRow(wrong) << wrong << int(TimeBound::Invalid) << qint64(-1);
}

void RecorderTest::timeBound()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(qint64, resolved);
    const TimeBound bound = TimeBound::parse(text);
    QCOMPARE(int(bound.kind), kind);
    QCOMPARE(bound.resolve(startTime, -1), resolved);
}

void RecorderTest::openShowsRange_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("shown"); // pane 1's texts, one a minute from "0"
    QTest::newRow("all") << ""
                         << "" << 0 << "0 1 2 3 4 5";
    QTest::newRow("the newest within the history limit") << ""
                                                         << "" << 2 << "4 5";
    QTest::newRow("last two minutes") << "-2m"
                                      << "" << 0 << "3 4 5";
    QTest::newRow("up to three minutes before the end") << ""
                                                        << "-3m" << 0 << "0 1 2";
    QTest::newRow("between local times")
        << QDateTime::fromMSecsSinceEpoch(startTime / 1000000 + 60000)
               .toString("yyyy-MM-dd HH:mm:ss")
        << QDateTime::fromMSecsSinceEpoch(startTime / 1000000 + 120000)
               .toString("yyyy-MM-dd HH:mm:ss")
        << 0 << "1 2";
}

void RecorderTest::openShowsRange()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, limit);
    QFETCH(QString, shown);
    TestHome home;
    const QString path = dir.filePath(QStringLiteral("minutes.sqlite"));
    QVector<LogMessage> minutes;
    for (int minute = 0; minute < 6; ++minute)
        minutes.append(messageAt(startTime + minute * 60 * second, QString::number(minute)));
    minutes.append(messageAt(startTime + 5 * 60 * second, "other pane", 1));
    QFile::remove(path);
    QVERIFY(writeRecording(path, minutes));

    MainWindow window(nullptr, QString(), MainWindow::Source::Recording);
    window.setHistoryLimit(limit);
    QString error;
    QVERIFY2(
        showRecording(window, path, {TimeBound::parse(from), TimeBound::parse(to)}, limit, &error),
        qPrintable(error));
    const WindowWidgets widgets(window);
    QCOMPARE(widgets.paneTexts().first().split('\n').join(' '), shown);
    QCOMPARE(widgets.tabTitles().first(), QStringLiteral("A (%1)").arg(shown.count(' ') + 1));
    QVERIFY(!widgets.restart->isEnabled()); // nothing listens
}

void RecorderTest::replayKeepsOrderAndPace_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<qint64>("leastMs"); // the recording spans 500 ms
    QTest::newRow("as recorded") << "1" << qint64(450);
    QTest::newRow("twice as fast") << "2" << qint64(225);
    QTest::newRow("as fast as it goes") << "0" << qint64(0);
}

void RecorderTest::replayKeepsOrderAndPace()
{
    QFETCH(QString, speed);
    QFETCH(qint64, leastMs);
    const QString path = dir.filePath(QStringLiteral("replayed.sqlite"));
    if (!QFileInfo::exists(path)) {
        QVector<LogMessage> messages;
        for (int i = 0; i < 100; ++i) {
            messages.append(messageAt(startTime + i * 5050000, QString::number(i), i % 4));
            messages.last().seq = quint64(i + 1);
            messages.last().app = "replayed";
        }
        QVERIFY(writeRecording(path, messages));
    }
    QUdpSocket viewer;
    QVERIFY(viewer.bind(QHostAddress(QHostAddress::LocalHost), 0));
    // From the start: the first datagram may be taken some time after it came, the last not
    // before it came.
    QElapsedTimer clock;
    clock.start();
    QProcess sender;
    sender.start(
        CORVANE_SEND,
        {"--replay", path, "--speed", speed, "--port", QString::number(viewer.localPort())});
    QList<QJsonObject> received;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (viewer.hasPendingDatagrams())
                received.append(QJsonDocument::fromJson(viewer.receiveDatagram().data()).object());
            return received.size() >= 100;
        }(),
        hangBoundMs(10000));
    QVERIFY(clock.elapsed() >= leastMs);
    QTRY_COMPARE(sender.state(), QProcess::NotRunning);
    QCOMPARE(sender.exitCode(), 0);
    for (int i = 0; i < 100; ++i) {
        const QJsonObject expected {{"tabs", QJsonArray {"A", "B", "C", "D"}},
                                    {QStringLiteral("log%1").arg(i % 4 + 1), QString::number(i)},
                                    {"seq", i + 1},
                                    {"app", "replayed"}};
        QCOMPARE(received.at(i), expected);
    }
}

QTEST_MAIN(RecorderTest)
#include "tst_recorder.moc"
