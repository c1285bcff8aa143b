// Reading the panes of a shown window: saving one, copying one, and following new texts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "logsaver.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

class ReadingLogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesThePaneOnShow();
    void failedSaveIsShownWithItsReason();
    void copyAllFromTheMenuAndTheContextMenu();
    void scrollingUpHoldsTheView_data();
    void scrollingUpHoldsTheView();
    void backToTheEndFollowsAgain_data();
    void backToTheEndFollowsAgain();
    void eachPaneKeepsItsStateAcrossTabsAndClearing();

private:
    enum Way { ScrollBar, PageUp, WheelUp, Click, ScrollBarToEnd, CtrlEnd, ViewAction, WheelDown };

    void startWindow();
    void sendTexts(int pane, int first, int last);
    void act(int way, QTextEdit *log);
    QAction *action(const char *name) const;

    TestHome *home = nullptr;
    quint16 port = 0;
    MainWindow *window = nullptr;
    WindowWidgets *w = nullptr;
};

namespace {

const QStringList fourTabs = {"A", "B", "C", "D"};

QString line(int number)
{
    return QStringLiteral("line %1").arg(number);
}

// The paragraph at the top of a pane's view, and how far above the view its top is: what the
// reader sees. Equal twice, nothing the reader looks at has moved.
QString viewTop(const QTextEdit *log)
{
    const int value = log->verticalScrollBar()->value();
    const QTextBlock block = log->cursorForPosition(QPoint(0, 0)).block();
    const qreal top = log->document()->documentLayout()->blockBoundingRect(block).top();
    return QStringLiteral("%1 at %2").arg(block.text()).arg(value - qRound(top));
}

bool atEnd(const QTextEdit *log)
{
    const QScrollBar *bar = log->verticalScrollBar();
    return bar->maximum() > 0 && bar->value() == bar->maximum();
}

void sendWheel(QWidget *viewport, int angle)
{
    const QPoint inside(20, 20);
    QWheelEvent wheel(inside, viewport->mapToGlobal(inside), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void ReadingLogsTest::init()
{
    home = new TestHome;
}

void ReadingLogsTest::cleanup()
{
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    delete home;
    home = nullptr;
}

// A shown window that keeps its texts: no quiet period empties it while a test thinks.
void ReadingLogsTest::startWindow()
{
    port = home->useFreePort("timeoutEnabled = 0\n");
    window = new MainWindow;
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Sends "line first" to "line last" to the pane, one datagram each, and waits for the last.
void ReadingLogsTest::sendTexts(int pane, int first, int last)
{
    for (int number = first; number <= last; ++number) {
        QString texts[4];
        texts[pane] = line(number);
        QVERIFY(sendDatagram(port, message(fourTabs, texts[0], texts[1], texts[2], texts[3])));
    }
    QTRY_VERIFY(w->logs[pane]->toPlainText().endsWith(line(last)));
}

QAction *ReadingLogsTest::action(const char *name) const
{
    return window->findChild<QAction *>(QLatin1String(name));
}

// What the user does to the pane, as the user does it.
void ReadingLogsTest::act(int way, QTextEdit *log)
{
    QScrollBar *bar = log->verticalScrollBar();
    switch (way) {
    case ScrollBar:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case PageUp:
        log->setFocus();
        QTest::keyClick(log, Qt::Key_PageUp);
        break;
    case WheelUp:
        sendWheel(log->viewport(), 120);
        break;
    case Click:
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
        break;
    case ScrollBarToEnd:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case CtrlEnd:
        log->setFocus();
        QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
        break;
    case ViewAction:
        action("actionFollow")->trigger();
        break;
    case WheelDown:
        sendWheel(log->viewport(), -120);
        break;
    }
}

void ReadingLogsTest::saveWritesThePaneOnShow()
{
    startWindow();
    QTemporaryDir dir;
    QString chosen;
    window->setSavePathChooser([&chosen] { return chosen; });
    QVERIFY(sendDatagram(port, message(fourTabs, "uno", "<b>dos</b> ñandú")));
    QVERIFY(sendDatagram(port, message(fourTabs, {}, "tres €")));
    QTRY_COMPARE(w->logs[1]->toPlainText(), QStringLiteral("dos ñandú\ntres €"));
    w->tabs->setCurrentIndex(1);

    chosen = dir.filePath(QStringLiteral("pane.log"));
    QTest::keySequence(window, QKeySequence(QKeySequence::Save));
    QCOMPARE(readFile(chosen), QStringLiteral("dos ñandú\ntres €\n").toUtf8());

    chosen = dir.filePath(QStringLiteral("pane.html"));
    action("actionSaveLog")->trigger();
    const QByteArray html = readFile(chosen);
    QCOMPARE(html, logFileContents(*w->logs[1]->document(), LogFileFormat::Html));
    QVERIFY(html.contains("font-weight"));
    QVERIFY(html.contains(QStringLiteral("ñandú").toUtf8()));

    // A dialog left without a name writes nothing.
    chosen.clear();
    action("actionSaveLog")->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"pane.html", "pane.log"}));
}

void ReadingLogsTest::failedSaveIsShownWithItsReason()
{
    startWindow();
    QTemporaryDir dir;
    const QString regular = dir.filePath(QStringLiteral("old.log"));
    {
        QFile file(regular);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old\n");
    }
    // Below a regular file: no user, root included, can create a file there.
    const QString path = regular + QLatin1String("/new.txt");
    window->setSavePathChooser([&path] { return path; });
    sendTexts(0, 1, 3);

    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->close();
        }
    });
    closer.start(20);
    QTest::keySequence(window, QKeySequence(QKeySequence::Save));
    closer.stop();
    QVERIFY(!shown.isEmpty());
    QVERIFY2(shown.contains(QDir::toNativeSeparators(path)), qPrintable(shown));
    const QString reason = saveLog(*w->logs[0]->document(), path).error;
    QVERIFY(!reason.isEmpty());
    QVERIFY2(shown.contains(reason), qPrintable(shown));
    QCOMPARE(readFile(regular), QByteArray("old\n"));
}

void ReadingLogsTest::copyAllFromTheMenuAndTheContextMenu()
{
    startWindow();
    QVERIFY(sendDatagram(port, message(fourTabs, "first")));
    QVERIFY(sendDatagram(port, message(fourTabs, "<i>second</i>, ñ")));
    const QString all = QStringLiteral("first\nsecond, ñ");
    QTRY_COMPARE(w->logs[0]->toPlainText(), all);
    QClipboard *clipboard = QApplication::clipboard();

    // From the "Log" menu: the pane on show.
    auto *logMenu = window->menuBar()->findChild<QMenu *>(QStringLiteral("menuLog"));
    QVERIFY(logMenu);
    QVERIFY(logMenu->actions().contains(action("actionCopyAll")));
    clipboard->setText(QStringLiteral("before"));
    action("actionCopyAll")->trigger();
    QCOMPARE(clipboard->text(), all);
    // An empty pane copies nothing over what the clipboard holds.
    w->tabs->setCurrentIndex(2);
    clipboard->setText(QStringLiteral("kept"));
    action("actionCopyAll")->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("kept"));
    w->tabs->setCurrentIndex(0);

    // The pane's context menu: the text edit's own entries, then "Copy all".
    QWidget *viewport = w->logs[0]->viewport();
    const QPoint inside(20, 10);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, viewport->mapToGlobal(inside));
    QApplication::sendEvent(viewport, &request);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
    QStringList names;
    for (const QAction *entry : menu->actions())
        names.append(entry->objectName());
    QVERIFY2(names.contains(QStringLiteral("edit-copy")), qPrintable(names.join(',')));
    QVERIFY2(names.contains(QStringLiteral("select-all")), qPrintable(names.join(',')));
    QCOMPARE(names.last(), QStringLiteral("actionCopyAll"));
    QCOMPARE(menu->actions().last()->text(), QStringLiteral("Copy all"));
    menu->actions().last()->trigger();
    menu->close();
    QCOMPARE(clipboard->text(), all);
}

void ReadingLogsTest::scrollingUpHoldsTheView_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("the scroll bar") << int(ScrollBar);
    QTest::newRow("Page Up") << int(PageUp);
    QTest::newRow("the wheel") << int(WheelUp);
    QTest::newRow("a click into the text") << int(Click);
}

void ReadingLogsTest::scrollingUpHoldsTheView()
{
    QFETCH(int, way);
    startWindow();
    // A full pane lets its oldest texts go, down to 90, once it holds 101.
    window->setHistoryLimit(100);
    QTextEdit *log = w->logs[0];
    QScrollBar *bar = log->verticalScrollBar();
    sendTexts(0, 1, 80);
    QTRY_VERIFY(atEnd(log));
    QVERIFY(action("actionFollow")->isChecked());

    act(way, log);
    QVERIFY(!action("actionFollow")->isChecked());
    if (way != Click)
        QVERIFY(bar->value() < bar->maximum());
    const int value = bar->value();
    const QString top = viewTop(log);

    // New texts come and the view holds still.
    sendTexts(0, 81, 95);
    QCOMPARE(bar->value(), value);
    QCOMPARE(viewTop(log), top);
    QVERIFY(bar->value() < bar->maximum());

    // The oldest texts go from above, and what the reader sees stays where it was.
    sendTexts(0, 96, 110);
    QTRY_VERIFY(!log->toPlainText().startsWith(line(1) + QLatin1Char('\n')));
    QVERIFY(bar->value() < value);
    QCOMPARE(viewTop(log), top);
    QVERIFY(!action("actionFollow")->isChecked());

    // When the text being read goes, the view stays at the top.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(bar->value() > 0);
    const QString first = log->document()->firstBlock().text();
    sendTexts(0, 111, 140);
    QTRY_VERIFY(log->document()->firstBlock().text() != first);
    QCOMPARE(bar->value(), 0);
    QVERIFY(!action("actionFollow")->isChecked());
}

void ReadingLogsTest::backToTheEndFollowsAgain_data()
{
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("resume");
    QTest::newRow("the scroll bar to its end") << int(PageUp) << int(ScrollBarToEnd);
    QTest::newRow("Ctrl+End") << int(WheelUp) << int(CtrlEnd);
    QTest::newRow("the View menu") << int(ScrollBar) << int(ViewAction);
    QTest::newRow("the wheel down at the end") << int(Click) << int(WheelDown);
}

void ReadingLogsTest::backToTheEndFollowsAgain()
{
    QFETCH(int, stop);
    QFETCH(int, resume);
    startWindow();
    QTextEdit *log = w->logs[0];
    sendTexts(0, 1, 80);
    QTRY_VERIFY(atEnd(log));
    act(stop, log);
    QVERIFY(!action("actionFollow")->isChecked());

    act(resume, log);
    QVERIFY(action("actionFollow")->isChecked());
    QVERIFY(atEnd(log));
    sendTexts(0, 81, 120);
    QTRY_VERIFY(atEnd(log));
    QCOMPARE(log->cursorForPosition(QPoint(0, log->viewport()->height() - 1)).block().text(),
             line(120));
}

void ReadingLogsTest::eachPaneKeepsItsStateAcrossTabsAndClearing()
{
    startWindow();
    QAction *follow = action("actionFollow");
    QTextEdit *log1 = w->logs[0];
    QTextEdit *log2 = w->logs[1];
    sendTexts(0, 1, 80);
    QTRY_VERIFY(atEnd(log1));

    // Unticked, the pane on show stops where it is.
    follow->trigger();
    QVERIFY(!follow->isChecked());
    const QString top = viewTop(log1);
    sendTexts(0, 81, 90);
    QCOMPARE(viewTop(log1), top);

    // The other pane follows, while hidden and when shown.
    sendTexts(1, 1, 80);
    w->tabs->setCurrentIndex(1);
    QVERIFY(follow->isChecked());
    QTRY_VERIFY(atEnd(log2));
    // Texts for the hidden pane that does not follow; it shows the same texts when back.
    sendTexts(0, 91, 120);
    sendTexts(1, 81, 120);
    QTRY_VERIFY(atEnd(log2));
    w->tabs->setCurrentIndex(0);
    QVERIFY(!follow->isChecked());
    QTRY_COMPARE(viewTop(log1), top);

    // Clearing keeps the state: the pane that held still holds at the top of what comes next.
    w->clickClearNow();
    QVERIFY(!follow->isChecked());
    sendTexts(0, 1, 80);
    QCOMPARE(log1->verticalScrollBar()->value(), 0);
    QVERIFY(log1->verticalScrollBar()->maximum() > 0);
    // And the one that followed goes on following.
    w->tabs->setCurrentIndex(1);
    QVERIFY(follow->isChecked());
    sendTexts(1, 1, 80);
    QTRY_VERIFY(atEnd(log2));

    // Ticking the box follows again (at once, or as soon as the pane just shown is laid out).
    w->tabs->setCurrentIndex(0);
    follow->trigger();
    QVERIFY(follow->isChecked());
    QTRY_VERIFY(atEnd(log1));
}

QTEST_MAIN(ReadingLogsTest)
#include "tst_readinglogs.moc"
