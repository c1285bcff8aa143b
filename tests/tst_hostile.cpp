// Tests of hostile datagrams and broken settings files.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/directfeed.h"
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>
#include <sys/types.h>

// Input that a hostile or broken sender, or a mangled settings file, can put in front of the
// window. None of it may crash the window, hang it for more than a moment, make it read local
// files, or cost the user the settings file.
class HostileTest : public QObject
{
    Q_OBJECT

private slots:
    void largestDatagramArrivesWhole();
    void hostileTextsAreHandledPromptly_data();
    void hostileTextsAreHandledPromptly();
    void burstOfHeavyDatagramsLetsTheWindowBreathe();
    void deeplyNestedTablesAreShownAsText();
    void deeplyNestedJsonIsNoMessage();
    void invalidUtf8IsNoMessage();
    void repeatedNamesKeepTheLast();
    void repeatedNamesCostNoMemory_data();
    void repeatedNamesCostNoMemory();
    void dataUrlImageIsNeverDecoded();
    void oddCharactersSurviveTheSettingsFile_data();
    void oddCharactersSurviveTheSettingsFile();
    void hostileSettingsFile_data();
    void hostileSettingsFile();
    void settingsPathThatIsNoFile_data();
    void settingsPathThatIsNoFile();
    void extremeGeometryStaysRepresentable();
};

namespace {

// Long enough for a busy machine in every build, short enough to notice a hang: the slowest
// row takes well under a second in a plain build.
const qint64 promptMs = hangBoundMs(5000);

// Sanitizers keep memory of their own, which the resident size counts.
#if defined(__SANITIZE_ADDRESS__)
const bool underAddressSanitizer = true;
#elif defined(__has_feature)
const bool underAddressSanitizer = __has_feature(address_sanitizer);
#else
const bool underAddressSanitizer = false;
#endif
#if defined(__SANITIZE_THREAD__)
const bool underThreadSanitizer = true;
#else
const bool underThreadSanitizer = false;
#endif

// Resident memory of this process in KiB.
qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * 4;
}

QTextEdit *pane(const QWidget &window, int number)
{
    return window.findChild<QTextEdit *>(QStringLiteral("uiLog%1").arg(number));
}

QStringList tabTitles(const QWidget &window)
{
    const auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QStringList titles;
    for (int index = 0; index < tabs->count(); ++index)
        titles.append(tabs->tabText(index));
    return titles;
}

// Handles one payload as the socket drain would, then lets the window lay out and paint it
// with its pane in front. Returns how long all that took.
qint64 handleAndPaint(MainWindow &window, const QByteArray &payload, int paneNumber)
{
    QElapsedTimer clock;
    clock.start();
    processDatagrams(window, {payload});
    window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(paneNumber - 1);
    QCoreApplication::processEvents();
    window.repaint();
    return clock.elapsed();
}

QString repeated(const QString &piece, int count)
{
    return piece.repeated(count);
}

QString nested(const QString &open, const QString &close, int depth, const QString &inner)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

// A PNG of one colour: a few kilobytes that decode to width by height pixels.
QByteArray compressedPng(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray configLine(const char *key, const QByteArray &value)
{
    return QByteArray(key) + " = " + value + '\n';
}

QByteArray valueOf(const QByteArray &config, const QByteArray &key)
{
    for (const QByteArray &line : config.split('\n')) {
        if (line.startsWith(key + " = "))
            return line.mid(key.size() + 3);
    }
    return QByteArray();
}

} // namespace

void HostileTest::largestDatagramArrivesWhole()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();

    // The largest payload that UDP over IPv4 can carry, filled with one text for pane 2.
    QByteArray payload = message({"a", "b", "c", "d"}, QString(), QStringLiteral("#"));
    const int fill = 65507 - payload.size();
    payload = message({"a", "b", "c", "d"}, QString(), QString(fill + 1, QLatin1Char('x')));
    QCOMPARE(payload.size(), 65507);

    QVERIFY(sendDatagram(port, payload));
    QTRY_COMPARE(pane(window, 2)->toPlainText().size(), fill + 1);
    QCOMPARE(tabTitles(window).at(1), QStringLiteral("b (1)"));
}

void HostileTest::hostileTextsAreHandledPromptly_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("bold nested 5000 deep") << nested("<b>", "</b>", 5000, "deep");
    QTest::newRow("divs nested 5000 deep") << nested("<div>", "</div>", 5000, "deep");
    QTest::newRow("lists nested 2000 deep") << nested("<ul><li>", "</li></ul>", 2000, "deep");
    // Each level of tables in table cells doubles the layout time of Qt's text engine.
    QTest::newRow("tables nested 30 deep")
        << nested("<table border=1><tr><td>", "</td></tr></table>", 30, "deep");
    QTest::newRow("tables nested 1500 deep")
        << nested("<table><tr><td>", "</td></tr></table>", 1500, "deep");
    QTest::newRow("tables nested 6 deep, two by two, 60 KB")
        << repeated(nested("<table><tr><td>",
                           "</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>", 6, "x"),
                    120);
    QTest::newRow("unclosed tags 6000") << repeated("<font color=red><i>", 3000) + "open";
    QTest::newRow("one row of 5000 cells")
        << "<table><tr>" + repeated("<td>c</td>", 5000) + "</tr></table>";
    QTest::newRow("huge image") << "<img src=\"x\" width=\"2147483647\" height=\"2147483647\">";
    QTest::newRow("huge image, float size") << "<img src=\"x\" width=\"1e300\" height=\"-1e300\">";
    QTest::newRow("huge font") << "<span style=\"font-size:100000pt\">big</span>";
    QTest::newRow("huge table spans")
        << "<table><tr><td colspan=2147483647 rowspan=2147483647>x</td></tr></table>";
    // Breaking one long word into lines costs Qt time that grows with the square of its
    // length: about 0.5 s for 60,000 letters here, 0.15 s for these 30,000.
    QTest::newRow("one word of 30000 letters") << QString(30000, QLatin1Char('w'));
    QTest::newRow("60000 line breaks") << repeated("<br>", 15000);
    QTest::newRow("NUL bytes") << QString::fromUtf8("a\0b\0<b>c\0</b>", 13);
}

void HostileTest::hostileTextsAreHandledPromptly()
{
    QFETCH(QString, text);
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QByteArray payload = message({"a", "b", "c", "d"}, QString(), QString(), text);
    QVERIFY(payload.size() <= 65507);
    const qint64 elapsed = handleAndPaint(window, payload, 3);
    qInfo("%s: %lld ms to handle and paint %d bytes", QTest::currentDataTag(), elapsed,
          int(payload.size()));
    QVERIFY2(elapsed < promptMs, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QCOMPARE(tabTitles(window).at(2), QStringLiteral("c (1)"));

    // Scrolling through it and emptying it must be as quick, and the window goes on listening.
    QElapsedTimer clock;
    clock.start();
    QScrollBar *scrollBar = pane(window, 3)->verticalScrollBar();
    scrollBar->setValue(scrollBar->maximum() / 2);
    window.repaint();
    window.findChild<QPushButton *>(QStringLiteral("uiClearNow"))->click();
    QCoreApplication::processEvents();
    QVERIFY2(clock.elapsed() < promptMs,
             qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
    QCOMPARE(pane(window, 3)->toPlainText(), QString());

    QVERIFY(sendDatagram(port, message({"a", "b", "c", "d"}, "still here")));
    QTRY_COMPARE(pane(window, 1)->toPlainText(), QStringLiteral("still here"));
}

void HostileTest::burstOfHeavyDatagramsLetsTheWindowBreathe()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();

    // Each some 55 KB of nested markup that takes a good part of a second to show. They all
    // wait in the socket at once; the window must get back to its event loop between them
    // rather than show them all in one go. A zero-length timer runs in every turn of the loop,
    // so it sees the count on the tab grow by at most one or two datagrams at a time.
    const QByteArray heavy = message({"a", "b", "c", "d"}, nested("<div>", "</div>", 5000, "deep"));
    const int count = 10;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 longestStall = 0;
    QSet<QString> titlesSeen;
    QTimer turns;
    connect(&turns, &QTimer::timeout, [&] {
        longestStall = qMax(longestStall, clock.elapsed() - lastTurn);
        lastTurn = clock.elapsed();
        titlesSeen.insert(tabTitles(window).at(0));
    });
    for (int sent = 0; sent < count; ++sent)
        QVERIFY(sendDatagram(port, heavy));
    clock.start();
    turns.start(0);
    QTRY_COMPARE_WITH_TIMEOUT(tabTitles(window).at(0), QStringLiteral("a (%1)").arg(count),
                              int(promptMs) * count);
    titlesSeen.remove(QStringLiteral("Log 1"));
    qInfo("%d datagrams of %d bytes shown in %lld ms, longest stall %lld ms, %d counts seen", count,
          int(heavy.size()), clock.elapsed(), longestStall, int(titlesSeen.size()));
    QVERIFY2(titlesSeen.size() >= count / 2, qPrintable(titlesSeen.values().join(", ")));
}

void HostileTest::deeplyNestedTablesAreShownAsText()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    // Tables a few levels deep are rich text as ever; nested too deep, the markup is shown as
    // it came, so the pane stays quick.
    const QString shallow = nested("<table><tr><td>", "</td></tr></table>", 3, "three");
    const QString deep = nested("<table><tr><td>", "</td></tr></table>", 30, "thirty");
    processDatagrams(window, {message({"a", "b", "c", "d"}, shallow)});
    const QString shown = pane(window, 1)->toPlainText();
    QVERIFY2(!shown.contains("<table>") && shown.contains("three"), qPrintable(shown.left(200)));
    processDatagrams(window, {message({"a", "b", "c", "d"}, QString(), deep)});
    QCOMPARE(pane(window, 2)->toPlainText(), deep);
    QCOMPARE(tabTitles(window), QStringList({"a (1)", "b (1)", "c", "d"}));
}

void HostileTest::deeplyNestedJsonIsNoMessage()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    // Nesting far beyond what the JSON reader accepts: the datagram is not an object at all,
    // so it names no tabs and brings no text.
    const QByteArray arrays = QByteArray(20000, '[') + QByteArray(20000, ']');
    processDatagrams(window, {arrays});
    QCOMPARE(tabTitles(window), QStringList({"Log 1", "Log 2", "Log 3", "Log4"}));

    QByteArray objects = "{\"tabs\":[\"a\",\"b\",\"c\",\"d\"],\"log1\":";
    for (int depth = 0; depth < 10000; ++depth)
        objects += "{\"k\":";
    objects += "1" + QByteArray(10000, '}') + "}";
    processDatagrams(window, {objects});
    QCOMPARE(pane(window, 1)->toPlainText(), QString());

    // A value nested less deeply is a valid message whose text is no string and so empty.
    QByteArray shallow = "{\"tabs\":[\"a\",\"b\",\"c\",\"d\"],\"log1\":";
    shallow += QByteArray(500, '[') + "\"x\"" + QByteArray(500, ']') + "}";
    processDatagrams(window, {shallow});
    QCOMPARE(tabTitles(window), QStringList({"a", "b", "c", "d"}));
    QCOMPARE(pane(window, 1)->toPlainText(), QString());
}

void HostileTest::invalidUtf8IsNoMessage()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;

    // Bytes that are no UTF-8: a stray continuation byte, a truncated sequence, an overlong
    // slash, a surrogate encoded directly, a byte that never occurs. The JSON reader refuses
    // the whole payload, which then counts as a message without members.
    int sent = 0;
    for (const char *bad : {"80", "e282", "c0af", "eda080", "ff"}) {
        QVERIFY(sendDatagram(port, message({"w", "x", "y", "z"}, "fine")));
        const QString counted = QStringLiteral("w (%1)").arg(++sent);
        QTRY_COMPARE(tabTitles(window).at(0), counted);
        const QByteArray payload =
            "{\"tabs\":[\"a\",\"b\",\"c\",\"d\"],\"log1\":\"x" + QByteArray::fromHex(bad) + "y\"}";
        QVERIFY(sendDatagram(port, payload));
        QTRY_COMPARE(tabTitles(window), QStringList({"Log 1", "Log 2", "Log 3", "Log4"}));
    }
    QCOMPARE(pane(window, 1)->toPlainText(), QStringLiteral("fine\nfine\nfine\nfine\nfine"));
}

void HostileTest::repeatedNamesKeepTheLast()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;

    QVERIFY(sendDatagram(port,
                         "{\"tabs\":[\"1\",\"2\",\"3\",\"4\"],\"log1\":[\"first\"],\"log1\":\"a\","
                         "\"log2\":{\"log2\":[1],\"log2\":[2]},\"log2\":\"b\","
                         "\"tabs\":[\"w\",\"x\",\"y\",\"z\"],\"l\\u006fg3\":[0],\"log3\":\"c\"}"));
    QTRY_COMPARE(tabTitles(window), QStringList({"w (1)", "x (1)", "y (1)", "z"}));
    QCOMPARE(pane(window, 1)->toPlainText(), QStringLiteral("a"));
    QCOMPARE(pane(window, 2)->toPlainText(), QStringLiteral("b"));
    QCOMPARE(pane(window, 3)->toPlainText(), QStringLiteral("c"));
}

void HostileTest::repeatedNamesCostNoMemory_data()
{
    // Whatever the reader skips in front of the object.
    QTest::addColumn<QByteArray>("prefix");
    QTest::newRow("object alone") << QByteArray();
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf");
    QTest::newRow("byte order mark and blanks") << QByteArray("\xef\xbb\xbf \t\r\n");
}

void HostileTest::repeatedNamesCostNoMemory()
{
    QFETCH(QByteArray, prefix);
    TestHome home;
    home.useFreePort();
    MainWindow window;

    // Qt's JSON reader leaks the array held by every earlier member of a repeated name.
    QByteArray repeats = prefix + "{";
    while (repeats.size() < 65490)
        repeats += "\"a\":[0],";
    repeats += "\"a\":1}";
    processDatagrams(window, {repeats});
    const qint64 before = residentKiB();
    for (int round = 0; round < 100; ++round)
        processDatagrams(window, {repeats});
    const qint64 grown = residentKiB() - before;
    qInfo("100 datagrams of repeated names: %lld KiB more resident memory", grown);
    // With AddressSanitizer, freed memory stays in quarantine, and its leak check at exit
    // judges; ThreadSanitizer adds shadow memory for every range the reader touches.
    if (!underAddressSanitizer && !underThreadSanitizer)
        QVERIFY2(grown < 16 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
}

void HostileTest::dataUrlImageIsNeverDecoded()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;
    window.show();

    // About 12 KB that would decode to a 10000 by 10000 image, 400 MB in colour.
    const QByteArray png = compressedPng(10000, 10000);
    QVERIFY(png.size() < 40000);
    const QString source =
        QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    const QString text = QStringLiteral("<img src=\"%1\">").arg(source);
    const qint64 elapsed = handleAndPaint(window, message({"a", "b", "c", "d"}, text), 1);
    qInfo("data URL image: %lld ms", elapsed);
    QVERIFY(elapsed < promptMs);

    const QVariant loaded =
        pane(window, 1)->document()->resource(QTextDocument::ImageResource, QUrl(source));
    const QImage image = loaded.value<QImage>();
    QVERIFY(image.width() <= 1 && image.height() <= 1);
}

void HostileTest::oddCharactersSurviveTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("caption"); // as JSON text inside the datagram
    QTest::addColumn<QString>("shown"); // what the tab shows after a restart

    // A lone surrogate cannot be written as UTF-8; the file gets a stand-in character.
    QTest::newRow("lone high surrogate") << QByteArray("a\\ud800b") << QStringLiteral("a?b");
    QTest::newRow("lone low surrogate") << QByteArray("\\udc00z") << QStringLiteral("?z");
    QTest::newRow("NUL") << QByteArray("a\\u0000b") << QString::fromUtf8("a\0b", 3);
    QTest::newRow("line breaks") << QByteArray("one\\r\\ntwo") << QStringLiteral("one  two");
}

void HostileTest::oddCharactersSurviveTheSettingsFile()
{
    QFETCH(QByteArray, caption);
    QFETCH(QString, shown);
    TestHome home;
    const quint16 port = home.useFreePort();
    {
        MainWindow window;
        processDatagrams(window, {"{\"tabs\":[\"" + caption + "\",\"b\",\"c\",\"d\"]}"});
    }
    const QByteArray written = home.readConfig();
    QCOMPARE(valueOf(written, "serverPort"), QByteArray::number(port));
    QCOMPARE(valueOf(written, "tab2caption"), QByteArray("b"));
    // Valid UTF-8 is what decodes and encodes back to the very same bytes. With the length
    // given: Qt 5 stops a QByteArray at its first NUL, Qt 6 does not.
    QCOMPARE(QString::fromUtf8(written.constData(), written.size()).toUtf8(), written);

    {
        MainWindow window;
        QCOMPARE(tabTitles(window).at(0), shown);
        QCOMPARE(tabTitles(window).at(1), QStringLiteral("b"));
    }
    QCOMPARE(home.readConfig(), written);
}

void HostileTest::hostileSettingsFile_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray garbage(64 * 1024, '\0');
    quint32 state = 12345;
    for (char &byte : garbage) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    QTest::newRow("binary garbage") << garbage;
    // Far more than any settings file: the reader stops long before the end.
    QTest::newRow("one line of 64 MB without an end") << QByteArray(64 * 1024 * 1024, 'k');
    QTest::newRow("64 MB of settings lines")
        << configLine("tab1caption", "x").repeated(4 * 1024 * 1024);
    QTest::newRow("NUL bytes") << QByteArray("serverPort\0 = 1\ntab1caption = a\0b\n", 35);
}

void HostileTest::hostileSettingsFile()
{
    QFETCH(QByteArray, content);
    TestHome home;
    // A port of its own first, so the window never competes for the default one.
    home.writeConfig(configLine("serverPort", QByteArray::number(freeUdpPort())) + content);

    QElapsedTimer clock;
    clock.start();
    {
        MainWindow window;
        qInfo("%s: window built in %lld ms", QTest::currentDataTag(), clock.elapsed());
        QVERIFY(clock.elapsed() < promptMs);
        // Nothing in it reads as a setting the window uses.
        QCOMPARE(window.geometry(), QRect(50, 50, 700, 400));
    }

    // The window writes a complete settings file in place of the broken one.
    const QByteArray written = home.readConfig();
    QVERIFY(written.startsWith("# Corvane config file.\n"));
    QVERIFY(written.size() < 4096);
    for (const char *key : {"serverIp", "serverPort", "timeoutEnabled", "timeoutValue", "windowX",
                            "windowY", "windowW", "windowH", "tab1caption", "tab4caption"})
        QVERIFY2(written.contains("\n" + QByteArray(key) + " = "), key);
}

void HostileTest::settingsPathThatIsNoFile_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("directory") << false;
    QTest::newRow("named pipe") << true;
}

void HostileTest::settingsPathThatIsNoFile()
{
    QFETCH(bool, fifo);
    TestHome home;
    QVERIFY(QDir().mkpath(home.configDir()));
    const QByteArray path = QFile::encodeName(home.configPath());
    if (fifo)
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    else
        QVERIFY(QDir().mkdir(home.configPath()));

    // Nothing is written into the pipe, so no reader is waiting on its other end: if the
    // window opened it, building the window would block here for good.
    QElapsedTimer clock;
    clock.start();
    {
        MainWindow window;
        QVERIFY(clock.elapsed() < promptMs);
        QCOMPARE(window.geometry(), QRect(50, 50, 700, 400));
    }
    QVERIFY(clock.elapsed() < promptMs);

    // A directory the user made stays as it was; a pipe is replaced by a real settings file.
    const QFileInfo after(home.configPath());
    if (fifo)
        QVERIFY(home.readConfig().startsWith("# Corvane config file.\n"));
    else
        QVERIFY(after.isDir());
}

void HostileTest::extremeGeometryStaysRepresentable()
{
    TestHome home;
    // The bottom edge stays at 449, more than the largest int below the top edge.
    home.useFreePort(configLine("windowX", "2147483647") + configLine("windowY", "-2147483648")
                     + configLine("windowW", "-5"));
    QRect first;
    {
        MainWindow window;
        first = window.geometry();
        // Every edge and both extents of the window fit the toolkit's integers.
        QCOMPARE(qint64(first.left()) + first.width() - 1, qint64(first.right()));
        QCOMPARE(qint64(first.top()) + first.height() - 1, qint64(first.bottom()));
    }
    const QByteArray written = home.readConfig();
    QCOMPARE(valueOf(written, "windowW").toInt(), first.width());
    QCOMPARE(valueOf(written, "windowH").toInt(), first.height());
    {
        MainWindow window;
        QCOMPARE(window.geometry(), first);
    }
    QCOMPARE(home.readConfig(), written);
}

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
