// Reading the panes of a shown window: saving one, copying one, and following new texts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/logsaver.h"
#include "panes/logpane.h"
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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
    void saveAndCopyThePaneOnShow();
    void followingNewTexts_data();
    void followingNewTexts();
    void readingMoreThanTheWindowHolds();

private:
    enum Way {
        ScrollBar,
        PageUp,
        WheelUp,
        Click,
        DragToEnd,
        ScrollBarToEnd,
        CtrlEnd,
        ViewAction,
        WheelToEnd
    };

    void sendTexts(int pane, int first, int last);
    void act(int way, QTextEdit *log);
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QLatin1String(name));
    }

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
    const QTextBlock block = log->cursorForPosition(QPoint(0, 0)).block();
    const qreal top = log->document()->documentLayout()->blockBoundingRect(block).top();
    return QStringLiteral("%1 at %2")
        .arg(block.text())
        .arg(log->verticalScrollBar()->value() - qRound(top));
}

bool atEnd(const QTextEdit *log)
{
    const QScrollBar *bar = log->verticalScrollBar();
    return bar->maximum() > 0 && bar->value() == bar->maximum();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A shown, active window that keeps its texts: no quiet period empties it while a test thinks.
void ReadingLogsTest::init()
{
    home = new TestHome;
    port = home->useFreePort("timeoutEnabled = 0\n");
    window = new MainWindow;
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void ReadingLogsTest::cleanup()
{
    delete w;
    delete window;
    delete home;
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

// What the user does to the pane, as the user does it.
void ReadingLogsTest::act(int way, QTextEdit *log)
{
    QScrollBar *bar = log->verticalScrollBar();
    const QPoint inside(30, 30);
    const auto wheel = [&](int angle) {
        QWheelEvent event(inside, log->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(log->viewport(), &event);
    };
    switch (way) {
    case ScrollBar:
        return bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    case PageUp:
        log->setFocus();
        return QTest::keyClick(log, Qt::Key_PageUp);
    case WheelUp:
        return wheel(120);
    case Click:
        return QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, inside);
    case DragToEnd:
        // A selection dragged above the view and back below it scrolls it up and down to the
        // end, the button held all the while.
        QTest::mousePress(log->viewport(), Qt::LeftButton, {}, inside);
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        return QTest::mouseRelease(log->viewport(), Qt::LeftButton, {},
                                   QPoint(inside.x(), log->viewport()->height() - 1));
    case ScrollBarToEnd:
        return bar->triggerAction(QAbstractSlider::SliderToMaximum);
    case CtrlEnd:
        log->setFocus();
        return QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    case ViewAction:
        return action("actionFollow")->trigger();
    case WheelToEnd:
        for (int turns = 0; turns < 1000 && bar->value() < bar->maximum(); ++turns)
            wheel(-120);
        return;
    }
}

void ReadingLogsTest::saveAndCopyThePaneOnShow()
{
    QTemporaryDir dir;
    QString chosen;
    window->setSavePathChooser([&chosen] { return chosen; });
    QVERIFY(sendDatagram(port, message(fourTabs, "uno", "<b>dos</b> ñandú")));
    QVERIFY(sendDatagram(port, message(fourTabs, {}, "tres\u00A0€")));
    // Every character as the pane shows it: the no-break space too.
    const QString text = QStringLiteral("dos ñandú\ntres\u00A0€");
    QTRY_COMPARE(w->logs[1]->document()->toRawText(), QString(text).replace('\n', QChar(0x2029)));
    w->tabs->setCurrentIndex(1);

    // Saved as the name asks: plain text, or HTML with the rich text.
    chosen = dir.filePath(QStringLiteral("pane.log"));
    QTest::keySequence(window, QKeySequence(QKeySequence::Save));
    QCOMPARE(readFile(chosen), (text + QLatin1Char('\n')).toUtf8());
    chosen = dir.filePath(QStringLiteral("pane.html"));
    action("actionSaveLog")->trigger();
    QTextDocument saved;
    saved.setHtml(QString::fromUtf8(readFile(chosen)));
    QCOMPARE(saved.toRawText(), QString(text).replace('\n', QChar(0x2029)));
    QTextCursor word = saved.find(QStringLiteral("dos"));
    QVERIFY(word.charFormat().fontWeight() > QFont::Normal);
    word = saved.find(QStringLiteral("ñandú"));
    QCOMPARE(word.charFormat().fontWeight(), int(QFont::Normal));
    // A dialog left without a name writes nothing.
    chosen.clear();
    action("actionSaveLog")->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"pane.html", "pane.log"}));

    // A failure shows the name and the system's reason, and changes nothing. Below a regular
    // file nobody, root included, can create one.
    chosen = dir.filePath(QStringLiteral("pane.log/new.txt"));
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->close();
        }
    });
    closer.start(20);
    action("actionSaveLog")->trigger();
    closer.stop();
    const QString reason = saveLog(*w->logs[1]->document(), chosen).error;
    QVERIFY(!reason.isEmpty());
    QVERIFY2(shown.contains(chosen) && shown.contains(reason), qPrintable(shown));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("pane.log"))), (text + '\n').toUtf8());

    // Copy all, from the Log menu: the pane on show, and nothing from an empty one.
    QClipboard *clipboard = QApplication::clipboard();
    action("actionCopyAll")->trigger();
    QCOMPARE(clipboard->text(), text);
    w->tabs->setCurrentIndex(2);
    clipboard->setText(QStringLiteral("kept"));
    action("actionCopyAll")->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("kept"));

    // From the pane's context menu: the text edit's own entries, then "Copy all", which an
    // empty pane offers disabled.
    QMenu *menu = nullptr;
    const auto openContextMenu = [&](int pane) {
        QWidget *viewport = w->logs[pane]->viewport();
        w->tabs->setCurrentIndex(pane);
        const QPoint inside(20, 10);
        QContextMenuEvent request(QContextMenuEvent::Mouse, inside, viewport->mapToGlobal(inside));
        QApplication::sendEvent(viewport, &request);
        menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
    };
    openContextMenu(2);
    QVERIFY(menu);
    auto *emptyCopyAll = menu->findChild<QAction *>(QStringLiteral("actionCopyAll"));
    QVERIFY(emptyCopyAll && !emptyCopyAll->isEnabled());
    menu->close();
    openContextMenu(1);
    QVERIFY(menu);
    QStringList names;
    for (const QAction *entry : menu->actions())
        names.append(entry->objectName());
    QVERIFY2(names.contains("edit-copy") && names.contains("select-all"),
             qPrintable(names.join(',')));
    QCOMPARE(names.mid(names.size() - 2), QStringList({"actionCopyAll", "actionClearPane"}));
    QAction *copyAll = menu->actions().at(names.size() - 2);
    QVERIFY(copyAll->isEnabled());
    copyAll->trigger();
    menu->close();
    QCOMPARE(clipboard->text(), text);
}

void ReadingLogsTest::followingNewTexts_data()
{
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("resume");
    QTest::newRow("scroll bar, then scroll bar to the end")
        << int(ScrollBar) << int(ScrollBarToEnd);
    QTest::newRow("Page Up, then Ctrl+End") << int(PageUp) << int(CtrlEnd);
    QTest::newRow("wheel up, then the View menu") << int(WheelUp) << int(ViewAction);
    QTest::newRow("a click, then the wheel to the end") << int(Click) << int(WheelToEnd);
    // Reading on to the end with a selection is no wish to follow.
    QTest::newRow("a selection dragged to the end, then Ctrl+End")
        << int(DragToEnd) << int(CtrlEnd);
}

void ReadingLogsTest::followingNewTexts()
{
    QFETCH(int, stop);
    QFETCH(int, resume);
    // A full pane lets its oldest texts go, down to 90, once it holds 101.
    window->setHistoryLimit(100);
    QTextEdit *log = w->logs[0];
    QScrollBar *bar = log->verticalScrollBar();
    QAction *follow = action("actionFollow");
    sendTexts(0, 1, 80);
    QTRY_VERIFY(atEnd(log));
    QVERIFY(follow->isChecked());

    act(stop, log);
    QVERIFY(!follow->isChecked());
    const int value = bar->value();
    const QString top = viewTop(log);
    // New texts come and the view holds still...
    sendTexts(0, 81, 95);
    QCOMPARE(bar->value(), value);
    QCOMPARE(viewTop(log), top);
    QVERIFY(bar->value() < bar->maximum());
    // ... also when the oldest go from above it.
    sendTexts(0, 96, 110);
    QTRY_VERIFY(!log->toPlainText().startsWith(line(1) + QLatin1Char('\n')));
    QVERIFY(bar->value() < value);
    QCOMPARE(viewTop(log), top);

    // Each pane has its own state: the other follows, hidden or shown, and the View menu shows
    // the state of the pane on show. The hidden one is shown again as it was left.
    sendTexts(1, 1, 80);
    w->tabs->setCurrentIndex(1);
    QVERIFY(follow->isChecked());
    QTRY_VERIFY(atEnd(w->logs[1]));
    w->tabs->setCurrentIndex(0);
    QVERIFY(!follow->isChecked());
    QTRY_COMPARE(viewTop(log), top);

    // When the text being read goes, the view stays at the top.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(bar->value() > 0);
    const QString first = log->document()->firstBlock().text();
    sendTexts(0, 111, 140);
    QTRY_VERIFY(log->document()->firstBlock().text() != first);
    QCOMPARE(bar->value(), 0);

    // Clearing keeps the state.
    w->clickClearNow();
    QVERIFY(!follow->isChecked());
    sendTexts(0, 1, 80);
    QCOMPARE(bar->value(), 0);

    act(resume, log);
    QVERIFY(follow->isChecked());
    QVERIFY(atEnd(log));
    sendTexts(0, 81, 120);
    QTRY_VERIFY(atEnd(log));
    QCOMPARE(lineAt(log->cursorForPosition(QPoint(0, log->viewport()->height() - 1))), line(120));
}

// A pane's document holds a window of 20 texts here, of a history of up to 100.
void ReadingLogsTest::readingMoreThanTheWindowHolds()
{
    window->setHistoryLimit(100);
    QTextEdit *log = w->logs[0];
    LogPane *pane = log->findChild<LogPane *>();
    QVERIFY(pane);
    pane->setWindowCapacity(20);
    QScrollBar *bar = log->verticalScrollBar();
    const auto newest = [pane](int length) {
        return pane->historyText(pane->historyLength() - length, pane->historyLength());
    };
    const auto send = [&](int first, int last) {
        for (int number = first; number <= last; ++number)
            QVERIFY(sendDatagram(port, message(fourTabs, line(number))));
        QTRY_COMPARE(newest(line(last).size()), line(last));
    };
    send(1, 60);
    QTRY_VERIFY(atEnd(log));
    QVERIFY(log->document()->blockCount() <= 22);
    // The scroll bar spans the whole history, as if the document held it all.
    const int spacing = log->fontMetrics().lineSpacing();
    QTRY_VERIFY2(qAbs(bar->maximum() + bar->pageStep() - 60 * spacing) < 3 * spacing,
             qPrintable(QStringLiteral("%1 + %2 for 60 lines of %3")
                            .arg(bar->maximum())
                            .arg(bar->pageStep())
                            .arg(spacing)));
    // Copy all copies the whole history.
    action("actionCopyAll")->trigger();
    QCOMPARE(QApplication::clipboard()->text().split('\n').size(), 60);
    QVERIFY(QApplication::clipboard()->text().startsWith(line(1) + '\n'));
    // So do Ctrl+A and Ctrl+C, which would otherwise copy the part the document holds.
    QApplication::clipboard()->clear();
    log->setFocus();
    QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().split('\n').size(), 60);

    // Ctrl+Home reaches the oldest text, Ctrl+End the newest again.
    log->setFocus();
    QTest::keyClick(log, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(lineAt(log->cursorForPosition(QPoint(0, 0))), line(1));
    QVERIFY(!action("actionFollow")->isChecked());
    QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(action("actionFollow")->isChecked());
    QTRY_VERIFY(atEnd(log));
    QCOMPARE(lineAt(log->cursorForPosition(QPoint(0, log->viewport()->height() - 1))), line(60));

    // A selection stays on its text while the window moves, as long as the window holds it.
    log->setTextCursor(log->document()->find(line(48)));
    for (int step = 0; step < 9; ++step)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QTRY_VERIFY(!log->document()->toPlainText().contains(line(60)));
    QCOMPARE(log->textCursor().selectedText(), line(48));

    // The scroll bar dragged half way shows the middle of the history.
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum() / 2);
    bar->setSliderDown(false);
    QTRY_VERIFY(lineAt(log->cursorForPosition(QPoint(0, 0))).startsWith("line "));
    const int middle = lineAt(log->cursorForPosition(QPoint(0, 0))).mid(5).toInt();
    QVERIFY2(qAbs(middle - 25) <= 3, qPrintable(QString::number(middle)));
    QVERIFY(!action("actionFollow")->isChecked());
    QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    QTRY_VERIFY(atEnd(log));

    // Paging up past the window's edge moves the window; the reader's text then holds still
    // while texts arrive beyond the window and the oldest go, the 20 oldest once 110 are kept.
    const auto topLine = [log] { return lineAt(log->cursorForPosition(QPoint(0, 0))); };
    for (int page = 0; page < 5 && topLine().mid(5).toInt() >= 41; ++page) {
        QTest::keyClick(log, Qt::Key_PageUp);
        QTRY_VERIFY(topLine().startsWith("line "));
    }
    const QString top = topLine();
    QVERIFY2(top.mid(5).toInt() > 20 && top.mid(5).toInt() < 41, qPrintable(top));
    const int value = bar->value();
    send(61, 95);
    QCOMPARE(topLine(), top);
    QCOMPARE(bar->value(), value);
    send(96, 110);
    QTRY_VERIFY(bar->value() < value);
    QCOMPARE(topLine(), top);
    // The scroll bar to the end follows the newest text again.
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QVERIFY(action("actionFollow")->isChecked());
    QTRY_COMPARE(lineAt(log->cursorForPosition(QPoint(0, log->viewport()->height() - 1))),
                 line(110));
}

QTEST_MAIN(ReadingLogsTest)
#include "tst_readinglogs.moc"
