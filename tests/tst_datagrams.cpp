// Tests of routing, tab counts, the history limit and odd payloads.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/directfeed.h"
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What a sender sees of its datagrams: which pane gets which text, how the tab titles count,
// and what happens to payloads that are not what the viewer expects.
class DatagramsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onlyLog3ReachesPaneThree();
    void historyKeepsTheNewestAndCountsAll();
    void emptyTextsChangeNothingButTitles();
    void sixTabsNameTheFirstFour();
    void nonStringTexts_data();
    void nonStringTexts();
    void lineBreaksMakeOneText();
    void unreadablePayloads_data();
    void unreadablePayloads();
    void missingCaptionsTakeTheirDefaults_data();
    void missingCaptionsTakeTheirDefaults();
    void richTextIsShownAsRichText();
    void keysCannotChangeTheLog();
    void ampersandInCaptionShowsAsSent();
    void batchShowsWhatOneAppendPerTextShows_data();
    void batchShowsWhatOneAppendPerTextShows();
    void textsOpenNoPipe_data();
    void textsOpenNoPipe();
    void textsLoadNoImages_data();
    void textsLoadNoImages();

private:
    TestHome *home = nullptr;
    quint16 port = 0;
    MainWindow *window = nullptr;
    WindowWidgets *w = nullptr;
};

static const QStringList fourTabs = {"A", "B", "C", "D"};

void DatagramsTest::init()
{
    home = new TestHome;
    port = home->useFreePort();
    window = new MainWindow;
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
}

void DatagramsTest::cleanup()
{
    delete w;
    delete window;
    delete home;
}

void DatagramsTest::onlyLog3ReachesPaneThree()
{
    QVERIFY(sendDatagram(port, message(fourTabs, {}, {}, "three")));
    QTRY_COMPARE(w->paneTexts(), QStringList({"", "", "three", ""}));
    QCOMPARE(w->tabTitles(), QStringList({"A", "B", "C (1)", "D"}));

    // Every title is composed afresh, those of the other panes with their own counts.
    QVERIFY(sendDatagram(port, message({"N", "O", "P", "Q"}, "one")));
    QTRY_COMPARE(w->paneTexts(), QStringList({"one", "", "three", ""}));
    QCOMPARE(w->tabTitles(), QStringList({"N (1)", "O", "P (1)", "Q"}));

    QVERIFY(sendDatagram(port, message(fourTabs, "1", "2", "3", "4")));
    QTRY_COMPARE(w->paneTexts(), QStringList({"one\n1", "2", "three\n3", "4"}));
    QCOMPARE(w->tabTitles(), QStringList({"A (2)", "B (1)", "C (2)", "D (1)"}));
}

void DatagramsTest::historyKeepsTheNewestAndCountsAll()
{
    window->setHistoryLimit(3);
    const QStringList texts = {"one", "<b>two</b>", "three", "<i>four</i>", "five", "six"};
    for (const QString &text : texts)
        QVERIFY(sendDatagram(port, message(fourTabs, text, "x")));
    // The tab counts every text since the last clearing; the pane holds the newest three.
    QTRY_COMPARE(w->tabTitles(), QStringList({"A (6)", "B (6)", "C", "D"}));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("four\nfive\nsix"));
    QTRY_COMPARE(w->logs[1]->toPlainText(), QStringLiteral("x\nx\nx"));
    w->clickClearNow();
    QVERIFY(sendDatagram(port, message(fourTabs, "seven")));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("seven"));
    QCOMPARE(w->tabTitles().at(0), QStringLiteral("A (1)"));
}

void DatagramsTest::emptyTextsChangeNothingButTitles()
{
    QVERIFY(sendDatagram(port, message(fourTabs, "one", "two")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"A (1)", "B (1)", "C", "D"}));

    // Empty and missing texts add nothing; the new captions show bare.
    QVERIFY(sendDatagram(port, message({"E", "F", "G", "H"}, "", "")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"E", "F", "G", "H"}));
    QCOMPARE(w->paneTexts(), QStringList({"one", "two", "", ""}));

    // The next text brings the counts back, unchanged.
    QVERIFY(sendDatagram(port, message(fourTabs, {}, {}, {}, "four")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"A (1)", "B (1)", "C", "D (1)"}));

    // Read together, the last of them decides.
    processDatagrams(*window, {message(fourTabs, "five"), message({"E", "F", "G", "H"})});
    QCOMPARE(w->tabTitles(), QStringList({"E", "F", "G", "H"}));
    processDatagrams(*window, {message({"E", "F", "G", "H"}), message(fourTabs, {}, "six")});
    QCOMPARE(w->tabTitles(), QStringList({"A (2)", "B (2)", "C", "D (1)"}));
}

void DatagramsTest::sixTabsNameTheFirstFour()
{
    QVERIFY(sendDatagram(port, message({"1", "2", "3", "4", "5", "6"}, "x")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"1 (1)", "2", "3", "4"}));
    QCOMPARE(w->tabs->count(), 4);
}

void DatagramsTest::nonStringTexts_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("integer") << QByteArray("42") << QStringLiteral("42");
    QTest::newRow("fraction") << QByteArray("1.5") << QStringLiteral("1.5");
    QTest::newRow("true") << QByteArray("true") << QStringLiteral("true");
    QTest::newRow("false") << QByteArray("false") << QStringLiteral("false");
    QTest::newRow("null") << QByteArray("null") << QString();
    QTest::newRow("array") << QByteArray("[1,2]") << QString();
    QTest::newRow("object") << QByteArray("{\"a\":1}") << QString();
}

void DatagramsTest::nonStringTexts()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, shown);
    QVERIFY(sendDatagram(port, "{\"tabs\":[\"A\",\"B\",\"C\",\"D\"],\"log1\":" + value + "}"));
    // A plain text behind it tells when the first datagram has been handled.
    QVERIFY(sendDatagram(port, message(fourTabs, {}, "next")));
    QTRY_COMPARE(w->logs[1]->toPlainText(), QStringLiteral("next"));
    QCOMPARE(w->logs[0]->toPlainText(), shown);
    QCOMPARE(w->tabs->tabText(0), shown.isEmpty() ? QStringLiteral("A") : QStringLiteral("A (1)"));
}

void DatagramsTest::lineBreaksMakeOneText()
{
    QVERIFY(sendDatagram(port, message(fourTabs, "first\nsecond\nthird")));
    QTRY_COMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("first\nsecond\nthird"));
    QVERIFY(sendDatagram(port, message(fourTabs, "fourth")));
    QTRY_COMPARE(w->tabs->tabText(0), QStringLiteral("A (2)"));
}

void DatagramsTest::unreadablePayloads_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("empty datagram") << QByteArray();
    QTest::newRow("plain text") << QByteArray("hello");
    QTest::newRow("broken JSON") << QByteArray(
        "{\"tabs\":[\"X\",\"Y\",\"Z\",\"W\"],\"log1\":\"x\"");
    QTest::newRow("array") << QByteArray("[\"log1\",\"x\"]");
    QTest::newRow("string") << QByteArray("\"x\"");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
}

void DatagramsTest::unreadablePayloads()
{
    QFETCH(QByteArray, payload);
    QVERIFY(sendDatagram(port, message(fourTabs, "one")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"A (1)", "B", "C", "D"}));

    // Handled as an object without members: the captions fall back to their defaults, bare.
    QVERIFY(sendDatagram(port, payload));
    QTRY_COMPARE(w->tabTitles(), QStringList({"Log 1", "Log 2", "Log 3", "Log4"}));
    QCOMPARE(w->paneTexts(), QStringList({"one", "", "", ""}));

    QVERIFY(sendDatagram(port, message(fourTabs, "two")));
    QTRY_COMPARE(w->tabTitles(), QStringList({"A (2)", "B", "C", "D"}));
}

void DatagramsTest::missingCaptionsTakeTheirDefaults_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("two tabs") << message({"X", "Y"}, "t")
                              << QStringList({"X", "Y", "Log 3", "Log4"});
    QTest::newRow("no tabs") << QByteArray("{\"log1\":\"t\"}")
                             << QStringList({"Log 1", "Log 2", "Log 3", "Log4"});
    QTest::newRow("empty tabs") << QByteArray("{\"tabs\":[],\"log1\":\"t\"}")
                                << QStringList({"Log 1", "Log 2", "Log 3", "Log4"});
    QTest::newRow("one string") << QByteArray("{\"tabs\":\"X\",\"log1\":\"t\"}")
                                << QStringList({"X", "Log 2", "Log 3", "Log4"});
    QTest::newRow("three tabs, not all strings")
        << QByteArray("{\"tabs\":[7,true,\"Z\"],\"log1\":\"t\"}")
        << QStringList({"7", "true", "Z", "Log4"});
}

void DatagramsTest::missingCaptionsTakeTheirDefaults()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, captions);
    QVERIFY(sendDatagram(port, message({"P", "Q", "R", "S"})));
    QTRY_COMPARE(w->tabTitles(), QStringList({"P", "Q", "R", "S"}));

    QVERIFY(sendDatagram(port, payload));
    QStringList titles = captions;
    titles[0] += QLatin1String(" (1)");
    QTRY_COMPARE(w->tabTitles(), titles);
    w->clickClearNow();
    QCOMPARE(w->tabTitles(), captions);

    // The same captions are stored for the next start.
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    const QByteArray file = home->readConfig();
    for (int tab = 0; tab < 4; ++tab) {
        const QByteArray line =
            "\ntab" + QByteArray::number(tab + 1) + "caption = " + captions.at(tab).toUtf8() + "\n";
        QVERIFY2(file.contains(line), line.constData());
    }
}

void DatagramsTest::richTextIsShownAsRichText()
{
    QVERIFY(sendDatagram(port, message(fourTabs, "<b>bold</b> and <i>italic</i>")));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("bold and italic"));
    QTextCursor cursor(w->logs[0]->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));
    // A text that is no markup stays as typed.
    QVERIFY(sendDatagram(port, message(fourTabs, "5 > 3 && 2 < 4")));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("bold and italic\n5 > 3 && 2 < 4"));
}

void DatagramsTest::keysCannotChangeTheLog()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(sendDatagram(port, message(fourTabs, "first line")));
    QVERIFY(sendDatagram(port, message(fourTabs, "second line")));
    const QString both = QStringLiteral("first line\nsecond line");
    QTRY_COMPARE(w->logs[0]->toPlainText(), both);

    QTextEdit *log = w->logs[0];
    log->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(log, QStringLiteral("typed"));
    for (const QKeySequence::StandardKey key :
         {QKeySequence::Undo, QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Delete}) {
        QTest::keySequence(log, QKeySequence(key));
    }
    QTest::keyClick(log, Qt::Key_Backspace);
    QTest::keyClick(log, Qt::Key_Return);
    QCOMPARE(log->toPlainText(), both);
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (2)"));

    // Moving through the text, selecting and copying still work from the keyboard.
    QTest::keyClick(log, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(log->textCursor().position(), 0);
    QTest::keyClick(log, Qt::Key_End, Qt::ShiftModifier);
    QTest::keySequence(log, QKeySequence(QKeySequence::Copy));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first line"));
    QTest::keySequence(log, QKeySequence(QKeySequence::SelectAll));
    QTest::keySequence(log, QKeySequence(QKeySequence::Copy));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first line\nsecond line"));
}

void DatagramsTest::ampersandInCaptionShowsAsSent()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(sendDatagram(port, message({"Net", "R&D", "&&", "Q&A"}, {}, "x")));
    // Doubled for the tab bar, which shows a doubled "&" as one.
    QTRY_COMPARE(w->tabTitles(), QStringList({"Net", "R&&D (1)", "&&&&", "Q&&A"}));
    // No caption makes a shortcut: Alt+D and Alt+A leave the first tab on show.
    QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(w->tabs->currentIndex(), 0);

    // The settings keep the captions as they were sent.
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    QVERIFY(home->readConfig().contains("\ntab2caption = R&D\ntab3caption = &&\n"
                                        "tab4caption = Q&A\n"));
}

void DatagramsTest::batchShowsWhatOneAppendPerTextShows_data()
{
    QTest::addColumn<bool>("oneBatch");
    QTest::newRow("all in one batch") << true;
    // Across batches, formats must not leak from one text into the next either.
    QTest::newRow("one batch each") << false;
}

void DatagramsTest::batchShowsWhatOneAppendPerTextShows()
{
    QFETCH(bool, oneBatch);
    // Plain and rich texts, line breaks and blank lines, all arriving in one batch.
    const QStringList texts = {"plain",
                               "<b>bold</b> tail",
                               "after bold",
                               "two\nlines",
                               "<p>para</p>",
                               " ",
                               "<ul><li>item</li></ul>",
                               "after the list",
                               "<i>all italic</i>",
                               "after italic",
                               "<table><tr><td>cell</td></tr></table>",
                               "<span style=\"color:#ff0000\">red</span>",
                               "after red",
                               "last"};
    QVector<QByteArray> batch;
    // As QTextEdit::append shows each text, but each starting in the default formats: a text
    // after a list is no list item, and one after a heading no heading.
    QTextEdit reference;
    QTextCursor end(reference.document());
    for (const QString &text : texts) {
        batch.append(message(fourTabs, text));
        if (!reference.document()->isEmpty())
            end.insertBlock(QTextBlockFormat(), QTextCharFormat());
        Qt::mightBeRichText(text) ? end.insertHtml(text) : end.insertText(text);
        if (!oneBatch) {
            processDatagrams(*window, batch);
            batch.clear();
        }
    }
    processDatagrams(*window, batch);
    QCOMPARE(w->logs[0]->toPlainText(), reference.toPlainText());
    QCOMPARE(htmlWithAParagraphPerLine(w->logs[0]->document()), reference.toHtml());
    QCOMPARE(w->tabs->tabText(0), QStringLiteral("A (%1)").arg(texts.size()));
}

// Opens the pipe for writing whenever someone has it open for reading, and so lets a reader
// that would block for ever go on; it notes that this happened.
class PipeWatch
{
public:
    explicit PipeWatch(const QByteArray &path)
        : thread([this, path] {
              while (!stop) {
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      readerSeen = true;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          })
    { }
    ~PipeWatch()
    {
        stop = true;
        thread.join();
    }
    bool sawReader() const { return readerSeen; }

private:
    std::atomic<bool> stop {false};
    std::atomic<bool> readerSeen {false};
    std::thread thread;
};

void DatagramsTest::textsOpenNoPipe_data()
{
    QTest::addColumn<QString>("markup");
    QTest::newRow("image") << QStringLiteral("<img src=\"%1\">");
    QTest::newRow("image URL") << QStringLiteral("<img src=\"file://%1\">");
    QTest::newRow("background") << QStringLiteral("<p style=\"background-image: url(%1)\">x</p>");
    QTest::newRow("table background")
        << QStringLiteral("<table background=\"%1\"><tr><td>x</td></tr></table>");
    QTest::newRow("style sheet link") << QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">x");
    QTest::newRow("style import") << QStringLiteral("<style>@import url(%1);</style>x");
}

void DatagramsTest::textsOpenNoPipe()
{
    QFETCH(QString, markup);
    const QString fifo = home->path() + QLatin1String("/pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    PipeWatch watch(QFile::encodeName(fifo));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QVERIFY(sendDatagram(port, message(fourTabs, markup.arg(fifo))));
    QTRY_COMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));
    // Lay the pane out and paint it, as the screen would.
    w->logs[0]->document()->size();
    w->logs[0]->grab();
    // The window keeps answering.
    QVERIFY(sendDatagram(port, message(fourTabs, {}, "after")));
    QTRY_COMPARE(w->logs[1]->toPlainText(), QStringLiteral("after"));
    QVERIFY(!watch.sawReader());
}

static QByteArray pngOfHeight(int height)
{
    QImage image(8, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void DatagramsTest::textsLoadNoImages_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("loads");
    QTest::newRow("local path") << QStringLiteral("%1") << false;
    QTest::newRow("file URL") << QStringLiteral("file://%1") << false;
    QTest::newRow("data URL") << QStringLiteral("data:image/png;base64,")
            + QString::fromLatin1(pngOfHeight(600).toBase64())
                              << false;
    // A bundle name that the bundle lacks, which names a file below the working directory.
    QTest::newRow("name the bundle lacks") << QStringLiteral("qrc:/tall.png") << false;
    QTest::newRow("name leaving the bundle") << QStringLiteral("qrc:/../qrc:/tall.png") << false;
    // The program's own images are the one exception, and they do load.
    QTest::newRow("own resource") << QStringLiteral(":/corvane/Resources/about.jpg") << true;
    QTest::newRow("own resource URL") << QStringLiteral("qrc:/corvane/Resources/about.jpg") << true;
}

void DatagramsTest::textsLoadNoImages()
{
    QFETCH(QString, source);
    QFETCH(bool, loads);
    // Only a pane on show is laid out, and only a layout tells how tall the image is.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QString path = home->path() + QLatin1String("/tall.png");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pngOfHeight(600));
    file.close();
    // The same image where "qrc:/tall.png" would find it as a relative path.
    QVERIFY(QDir(home->path()).mkdir(QStringLiteral("qrc:")));
    QVERIFY(QFile::copy(path, home->path() + QLatin1String("/qrc:/tall.png")));
    const QString workingDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(home->path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(workingDir); });

    QVERIFY(sendDatagram(port,
                         message(fourTabs,
                                 QStringLiteral("<img src=\"%1\">")
                                     .arg(source.contains("%1") ? source.arg(path) : source))));
    QTRY_COMPARE(w->tabs->tabText(0), QStringLiteral("A (1)"));
    // A loaded image makes the pane's text as tall as the image.
    const qreal height = w->logs[0]->document()->size().height();
    if (loads)
        QVERIFY2(height >= 128, qPrintable(QString::number(height)));
    else
        QVERIFY2(height < 100, qPrintable(QString::number(height)));
}

QTEST_MAIN(DatagramsTest)
#include "tst_datagrams.moc"
