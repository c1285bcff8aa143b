// Tests of starting afresh: the clear timeout, its seconds, Clear now, clearing one pane, and
// pausing.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"
#include "testsupport.h"
#include "window/clearpolicy.h"
#include "window/directfeed.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <limits>
#include <memory>

// When the panes start afresh: the next datagram after a quiet period, "Clear now", and how
// the "Clear timeout" option and its seconds steer that. Most cases let the quiet period end
// at once by running the window's own reaction to the clear timer; a few wait for the real
// timer.
class ClearingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nextDatagramAfterQuietPeriodClearsFirst();
    void datagramsWithinThePeriodAreKept();
    void optionOffNeverClears();
    void switchingOffAfterExpiryStillClearsOnce();
    void switchingOnTakesEffectAtNextExpiry();
    void batchAfterQuietPeriodIsClearedOnce();
    void timerRunsAfterEveryDatagramEvenWhenOff();
    void newSecondsApplyFromTheNextDatagram();
    void clearNowEmptiesAndResetsTitles();
    void realTimerEndsTheQuietPeriod();
    void zeroOrNegativePeriodFiresOnce_data();
    void zeroOrNegativePeriodFiresOnce();
    void hugePeriodIsCapped();
    void periodBeyondTheBoxIsKept();
    void clearingOnePane_data();
    void clearingOnePane();
    void pauseHoldsTextsUntilUnpaused_data();
    void pauseHoldsTextsUntilUnpaused();
    void longBacklogComesInInOrder();
    void quietPeriodIsMeasuredAtArrival_data();
    void quietPeriodIsMeasuredAtArrival();
    void endsQuietPeriod_data();
    void endsQuietPeriod();

private:
    void startWindow(const QByteArray &config = QByteArray());
    void send(const QString &log1);
    void expire();
    QTimer *clearTimer() const;
    void pause();
    QString waitingText() const;

    TestHome *home = nullptr;
    quint16 port = 0;
    MainWindow *window = nullptr;
    WindowWidgets *w = nullptr;
};

static const QStringList fourTabs = {"A", "B", "C", "D"};

void ClearingTest::init()
{
    home = new TestHome;
}

void ClearingTest::cleanup()
{
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    delete home;
    home = nullptr;
}

void ClearingTest::startWindow(const QByteArray &config)
{
    port = home->useFreePort(config);
    window = new MainWindow;
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
}

// Sends a text for pane 1 and waits until the pane ends with it.
void ClearingTest::send(const QString &log1)
{
    QVERIFY(sendDatagram(port, message(fourTabs, log1)));
    QTRY_VERIFY(w->logs[0]->toPlainText().endsWith(log1));
}

// The quiet period ends now, as if the clear timer had expired.
void ClearingTest::expire()
{
    QVERIFY(QMetaObject::invokeMethod(window->findChild<ClearPolicy *>(), "quietPeriodEnded"));
}

QTimer *ClearingTest::clearTimer() const
{
    return window->findChild<QTimer *>(QStringLiteral("clearTimer"));
}

// View, Pause, on or off, as its shortcut switches it.
void ClearingTest::pause()
{
    window->findChild<QAction *>(QStringLiteral("actionPause"))->trigger();
}

// The status row's "N new", empty while hidden or not made yet.
QString ClearingTest::waitingText() const
{
    const auto *label = window->findChild<QLabel *>(QStringLiteral("uiWaiting"));
    return label && !label->isHidden() ? label->text() : QString();
}

void ClearingTest::nextDatagramAfterQuietPeriodClearsFirst()
{
    startWindow();
    send("one");
    expire();
    // The old texts stay readable until something new arrives.
    QCOMPARE(w->paneTexts(), QStringList({"one", "", "", ""}));
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));

    send("two");
    QCOMPARE(w->paneTexts(), QStringList({"two", "", "", ""}));
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));

    // One clearing per quiet period.
    send("three");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("two\nthree"));
}

void ClearingTest::datagramsWithinThePeriodAreKept()
{
    startWindow();
    send("one");
    send("two");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("one\ntwo"));
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (2)"));
}

void ClearingTest::optionOffNeverClears()
{
    startWindow();
    // Clicked as a person clicks it, laid out in a shown window: never shown, the box keeps
    // its first 100 x 30 pixels, and Qt 6 takes only the indicator, from y = 8, for the click.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(w->timeoutEnabled, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(!w->timeoutEnabled->isChecked());
    send("one");
    expire();
    send("two");
    expire();
    expire();
    send("three");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("one\ntwo\nthree"));
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (3)"));
}

void ClearingTest::switchingOffAfterExpiryStillClearsOnce()
{
    startWindow();
    send("one");
    expire();
    w->timeoutEnabled->setChecked(false);
    // The pending clearing was decided at the expiry and still happens.
    send("two");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("two"));
    // From the next expiry on, the option is off.
    expire();
    send("three");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("two\nthree"));
}

void ClearingTest::switchingOnTakesEffectAtNextExpiry()
{
    startWindow("timeoutEnabled = 0\n");
    QVERIFY(!w->timeoutEnabled->isChecked());
    send("one");
    expire();
    w->timeoutEnabled->setChecked(true);
    send("two");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("one\ntwo"));
    expire();
    send("three");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("three"));
}

void ClearingTest::batchAfterQuietPeriodIsClearedOnce()
{
    startWindow();
    send("one");
    expire();
    processDatagrams(*window, {message(fourTabs, "two"), message(fourTabs, "three", "x")});
    QCOMPARE(w->paneTexts(), QStringList({"two\nthree", "x", "", ""}));
    QCOMPARE(w->tabTitles(), QStringList({"A (2)", "B (1)", "C", "D"}));
}

void ClearingTest::timerRunsAfterEveryDatagramEvenWhenOff()
{
    startWindow("timeoutEnabled = 0\ntimeoutValue = 3\n");
    QTimer *timer = clearTimer();
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
    send("one");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 3000);
    QVERIFY(!timer->isSingleShot());
}

void ClearingTest::newSecondsApplyFromTheNextDatagram()
{
    startWindow();
    send("one");
    QTimer *timer = clearTimer();
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 2000);
    w->timeoutValue->setValue(5);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 2000);
    send("two");
    QCOMPARE(timer->interval(), 5000);
}

void ClearingTest::clearNowEmptiesAndResetsTitles()
{
    startWindow();
    QVERIFY(sendDatagram(port, message({"N", "O", "P", "Q"}, "one", "two", "three", "four")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"N (1)", "O (1)", "P (1)", "Q (1)"}));

    w->clickClearNow();
    QCOMPARE(w->paneTexts(), QStringList({"", "", "", ""}));
    QCOMPARE(w->tabTitles(), QStringList({"N", "O", "P", "Q"}));

    send("five");
    QCOMPARE(w->tabTitles(), QStringList({"A (1)", "B", "C", "D"}));
}

void ClearingTest::realTimerEndsTheQuietPeriod()
{
    startWindow("timeoutValue = 1\n");
    send("one");
    QTimer *timer = clearTimer();
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QSignalSpy expired(timer, &QTimer::timeout);
    QVERIFY(expired.wait(5000));
    // Still there after the period; the timer goes on running.
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("one"));
    QVERIFY(timer->isActive());
    send("two");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("two"));
}

void ClearingTest::zeroOrNegativePeriodFiresOnce_data()
{
    QTest::addColumn<QByteArray>("seconds");
    QTest::newRow("zero") << QByteArray("0");
    QTest::newRow("negative") << QByteArray("-5");
    QTest::newRow("most negative") << QByteArray("-2147483648");
}

void ClearingTest::zeroOrNegativePeriodFiresOnce()
{
    QFETCH(QByteArray, seconds);
    startWindow("timeoutValue = " + seconds + "\n");
    QTimer *timer = clearTimer();
    QVERIFY(timer);
    QSignalSpy expired(timer, &QTimer::timeout);
    MessageCatcher printed;
    send("one");
    QVERIFY(expired.count() > 0 || expired.wait(5000));
    // It expired once as soon as nothing else was to do, and it does not keep firing.
    QVERIFY(!timer->isActive());
    QCOMPARE(expired.count(), 1);
    send("two");
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("two"));
    QCOMPARE(printed.messages(), QStringList());
}

void ClearingTest::hugePeriodIsCapped()
{
    startWindow("timeoutValue = 3000000\n");
    MessageCatcher printed;
    send("one");
    QTimer *timer = clearTimer();
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), std::numeric_limits<int>::max());
    QCOMPARE(printed.messages(), QStringList());
}

void ClearingTest::periodBeyondTheBoxIsKept()
{
    startWindow("timeoutValue = 500\n");
    QCOMPARE(w->timeoutValue->value(), 99);
    send("one");
    QCOMPARE(clearTimer()->interval(), 500000);
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    QVERIFY(home->readConfig().contains("\ntimeoutValue = 500\n"));

    // Touching the box makes both settings follow the widgets.
    startWindow("timeoutValue = 500\n");
    w->timeoutEnabled->setChecked(false);
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    QVERIFY(home->readConfig().contains("\ntimeoutEnabled = 0\ntimeoutValue = 99\n"));
}

void ClearingTest::clearingOnePane_data()
{
    QTest::addColumn<bool>("fromContextMenu");
    QTest::addColumn<bool>("paused");
    QTest::newRow("Log, Clear pane") << false << false;
    QTest::newRow("Clear this pane") << true << false;
    QTest::newRow("paused, its waiting texts too") << false << true;
}

void ClearingTest::clearingOnePane()
{
    QFETCH(bool, fromContextMenu);
    QFETCH(bool, paused);
    startWindow("timeoutEnabled = 0\n");
    const QStringList tabs = {"N", "O", "P", "Q"};
    QVERIFY(sendDatagram(port, message(tabs, "one", "two", "three", "four")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"N (1)", "O (1)", "P (1)", "Q (1)"}));
    if (paused) {
        pause();
        QVERIFY(sendDatagram(port, message(tabs, {}, "held")));
        QTRY_COMPARE(w->tabs->tabText(1), QStringLiteral("O (2)"));
    }

    w->tabs->setCurrentIndex(1);
    std::unique_ptr<QMenu> menu(w->logs[1]->findChild<LogPane *>()->createContextMenu({1, 1}));
    QObject *holder = fromContextMenu ? static_cast<QObject *>(menu.get()) : window;
    holder->findChild<QAction *>(QStringLiteral("actionClearPane"))->trigger();
    QCOMPARE(w->paneTexts(), QStringList({"one", "", "three", "four"}));
    QCOMPARE(w->tabTitles(), QStringList({"N (1)", "O", "P (1)", "Q (1)"}));

    // What waited for the cleared pane went with it; what comes next counts from one.
    if (paused)
        pause();
    QVERIFY(sendDatagram(port, message(tabs, {}, "five")));
    QTRY_COMPARE(w->paneTexts(), QStringList({"one", "five", "three", "four"}));
    QCOMPARE(w->tabTitles(), QStringList({"N (1)", "O (1)", "P (1)", "Q (1)"}));
}

void ClearingTest::pauseHoldsTextsUntilUnpaused_data()
{
    QTest::addColumn<int>("historyLimit"); // 0: the default
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("waiting");
    QTest::addColumn<QString>("shown");
    QTest::newRow("all kept") << 0 << 2 << "3 new"
                              << "one\nline 1\nline 2";
    // Past the pane's limit the oldest waiting texts go, as they would from the pane.
    QTest::newRow("past the history limit") << 3 << 5 << "4 new"
                                            << "line 3\nline 4\nline 5";
}

// Paused, the panes hold still through a quiet period too, while the titles count.
void ClearingTest::pauseHoldsTextsUntilUnpaused()
{
    QFETCH(int, historyLimit);
    QFETCH(int, sent);
    QFETCH(QString, waiting);
    QFETCH(QString, shown);
    startWindow();
    if (historyLimit > 0)
        window->setHistoryLimit(historyLimit);
    send("one");
    pause();
    expire();
    for (int number = 1; number <= sent; ++number) {
        QVERIFY(sendDatagram(
            port,
            message(fourTabs, QStringLiteral("line %1").arg(number), number == 1 ? "x" : "")));
    }
    QTRY_COMPARE(w->tabs->tabText(0), QStringLiteral("A (%1)").arg(sent + 1));
    QCOMPARE(w->paneTexts(), QStringList({"one", "", "", ""}));
    QCOMPARE(waitingText(), waiting);

    pause();
    QTRY_COMPARE(w->paneTexts(), QStringList({shown, "x", "", ""}));
    QCOMPARE(waitingText(), QString());
}

// More than one turn's share of waiting texts, and a batch that arrives before they are in.
void ClearingTest::longBacklogComesInInOrder()
{
    startWindow("timeoutEnabled = 0\n");
    pause();
    QVector<QByteArray> payloads;
    QStringList expected;
    for (int number = 1; number <= 2500; ++number) {
        expected.append(QString::number(number));
        payloads.append(message(fourTabs, expected.last()));
    }
    processDatagrams(*window, payloads);
    pause();
    processDatagrams(*window, {message(fourTabs, "after")});
    // More texts than the pane's document holds: its whole history, as Find and Save see it.
    LogPane *pane = w->logs[0]->findChild<LogPane *>();
    QTRY_COMPARE(pane->historyText(0, pane->historyLength()), expected.join('\n') + "\nafter");
}

void ClearingTest::quietPeriodIsMeasuredAtArrival_data()
{
    QTest::addColumn<QVector<int>>("sendAtMs");
    QTest::addColumn<int>("firstKept");
    QVector<int> everyTenth;
    for (int ms = 0; ms < 2500; ms += 100)
        everyTenth.append(ms);
    // The window's timer runs out while it is busy; the texts were never a second apart.
    QTest::newRow("every 100 ms, busy window") << everyTenth << 0;
    // The gap lies within the busy time, and the texts either side of it reach the window
    // together: the panes clear in the middle of what it takes.
    QTest::newRow("quiet 1.3 s, busy window") << QVector<int>({0, 100, 200, 1500, 1600}) << 3;
}

// With a clear timeout of one second, a sender sends "t0", "t1", ... at the times given, on
// a thread of its own, while the window's thread is blocked for 1.5 s soon after showing
// "t0". Only a second without a datagram, by the times they arrived, clears the panes.
void ClearingTest::quietPeriodIsMeasuredAtArrival()
{
    QFETCH(QVector<int>, sendAtMs);
    QFETCH(int, firstKept);
    startWindow("timeoutValue = 1\n");

    QStringList texts;
    for (int i = 0; i < sendAtMs.size(); ++i)
        texts.append(QStringLiteral("t%1").arg(i));
    const quint16 toPort = port;
    std::unique_ptr<QThread> sender(QThread::create([=] {
        QUdpSocket socket;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < sendAtMs.size(); ++i) {
            // The sender's own pace, not a wait for the window.
            QThread::msleep(ulong(qMax(qint64(0), sendAtMs.at(i) - clock.elapsed())));
            socket.writeDatagram(message(fourTabs, texts.at(i)), QHostAddress::LocalHost, toPort);
        }
    }));
    sender->start();
    QTRY_VERIFY(w->logs[0]->toPlainText().startsWith(texts.first()));
    // A window busy laying out something large, as a slot of its event loop.
    QTimer::singleShot(0, window, [] { QThread::msleep(1500); });

    QVERIFY(sender->wait(hangBoundMs(20000)));
    const QString kept = texts.mid(firstKept).join('\n');
    QTRY_VERIFY_WITH_TIMEOUT(w->logs[0]->toPlainText().endsWith(texts.last()), hangBoundMs(10000));
    QCOMPARE(w->logs[0]->toPlainText(), kept);
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (%1)").arg(texts.size() - firstKept));
}

void ClearingTest::endsQuietPeriod_data()
{
    QTest::addColumn<qint64>("previous");
    QTest::addColumn<qint64>("arrival");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("ends");
    const qint64 t = Q_INT64_C(1800000000) * 1000000000; // nanoseconds since the epoch
    const qint64 second = 1000000000;
    QTest::newRow("within") << t << t + second / 2 << 1 << false;
    QTest::newRow("exactly the period") << t << t + 2 * second << 2 << false;
    QTest::newRow("just beyond") << t << t + 2 * second + 1 << 2 << true;
    QTest::newRow("nothing before") << qint64(0) << t << 1 << false;
    QTest::newRow("time not known") << t << qint64(0) << 1 << false;
    QTest::newRow("clock set back") << t << t - 10 * second << 1 << false;
    QTest::newRow("zero period") << t << t + 10 * second << 0 << false;
    QTest::newRow("negative period") << t << t + 10 * second << -5 << false;
    const int longest = std::numeric_limits<int>::max();
    QTest::newRow("longest period") << t << t + longest * second << longest << false;
}

void ClearingTest::endsQuietPeriod()
{
    QFETCH(qint64, previous);
    QFETCH(qint64, arrival);
    QFETCH(int, seconds);
    QFETCH(bool, ends);
    QCOMPARE(ClearPolicy::endsQuietPeriod(previous, arrival, seconds), ends);
}

QTEST_MAIN(ClearingTest)
#include "tst_clearing.moc"
