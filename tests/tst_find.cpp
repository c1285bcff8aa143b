// Finding in the pane on show: the find bar driven with keys, over texts sent as datagrams.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

class FindTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuHoldsTheFindActions();
    void typingCountsHighlightsAndMoves();
    void switchingTabsSearchesThePaneOnShow();
    void onlyMatchesNearTheViewAreHighlighted();
    void findsTextsOutsideTheWindow();
    void arrivingAndTrimmedTextsKeepTheCurrentMatch();

private:
    void startWindow();
    // Sends the texts to pane 1 (or the given pane), one datagram each, and waits for them.
    void send(const QStringList &texts, int pane = 0);
    void press(const QKeySequence &keys);
    QString count() const { return countLabel->text(); }
    QString currentText(int pane = 0) const;

    TestHome *home = nullptr;
    quint16 port = 0;
    MainWindow *window = nullptr;
    WindowWidgets *w = nullptr;
    QWidget *bar = nullptr;
    QLineEdit *field = nullptr;
    QCheckBox *caseSensitive = nullptr;
    QLabel *countLabel = nullptr;
};

void FindTest::init()
{
    home = new TestHome;
    startWindow();
}

void FindTest::cleanup()
{
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    delete home;
    home = nullptr;
}

void FindTest::startWindow()
{
    // No clearing after a quiet second or two: the panes keep what each case sends.
    port = home->useFreePort("timeoutEnabled = 0\n");
    window = new MainWindow;
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
    bar = window->findChild<QWidget *>(QStringLiteral("findBar"));
    field = window->findChild<QLineEdit *>(QStringLiteral("findText"));
    caseSensitive = window->findChild<QCheckBox *>(QStringLiteral("findCaseSensitive"));
    countLabel = window->findChild<QLabel *>(QStringLiteral("findCount"));
    QVERIFY(bar && field && caseSensitive && countLabel);
    QVERIFY(bar->isHidden());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void FindTest::send(const QStringList &texts, int pane)
{
    for (const QString &text : texts) {
        QStringList logs = {QString(), QString(), QString(), QString()};
        logs[pane] = text;
        QVERIFY(
            sendDatagram(port, message({"A", "B", "C", "D"}, logs[0], logs[1], logs[2], logs[3])));
    }
    const QString last = texts.last().contains(QLatin1Char('<'))
        ? QTextDocumentFragment::fromHtml(texts.last()).toPlainText()
        : texts.last();
    QTRY_VERIFY(w->logs[pane]->toPlainText().endsWith(last));
}

void FindTest::press(const QKeySequence &keys)
{
    QTest::keySequence(QApplication::focusWidget(), keys);
}

QString FindTest::currentText(int pane) const
{
    return lineAt(w->logs[pane]->textCursor());
}

void FindTest::menuHoldsTheFindActions()
{
    // "Log" comes right after "File" and ends with the three find actions.
    const QList<QAction *> menus = window->menuBar()->actions();
    QVERIFY(menus.size() >= 2);
    auto *log = window->findChild<QMenu *>(QStringLiteral("menuLog"));
    QVERIFY(log);
    QCOMPARE(menus.at(1), log->menuAction());
    QCOMPARE(log->title(), QStringLiteral("Log"));
    const QList<QAction *> actions = log->actions();
    QVERIFY(actions.size() >= 3);
    const struct
    {
        const char *name;
        const char *text;
        QKeySequence::StandardKey key;
    } expected[] = {{"actionFind", "Find...", QKeySequence::Find},
                    {"actionFindNext", "Find next", QKeySequence::FindNext},
                    {"actionFindPrevious", "Find previous", QKeySequence::FindPrevious}};
    for (int i = 0; i < 3; ++i) {
        QAction *action = actions.at(actions.size() - 3 + i);
        QCOMPARE(action->objectName(), QString::fromLatin1(expected[i].name));
        QCOMPARE(action->text(), QString::fromLatin1(expected[i].text));
        QCOMPARE(action->shortcut(), QKeySequence(expected[i].key));
    }
}

void FindTest::typingCountsHighlightsAndMoves()
{
    send(
        {"Error: disk full", "all fine", "<b>error</b> here", "an ERROR again", "error and error"});
    QTextEdit *pane = w->logs[0];

    press(QKeySequence::Find);
    QVERIFY(bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("error"));
    // The first match at or after the top of the view; rich text by what it shows.
    QCOMPARE(count(), QStringLiteral("1 of 5"));
    QCOMPARE(pane->textCursor().selectedText(), QStringLiteral("Error"));
    QCOMPARE(pane->extraSelections().size(), 5);

    press(QKeySequence::FindNext);
    QCOMPARE(count(), QStringLiteral("2 of 5"));
    QCOMPARE(currentText(), QStringLiteral("error here"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(count(), QStringLiteral("3 of 5"));
    QCOMPARE(currentText(), QStringLiteral("an ERROR again"));
    for (const char *expected : {"2 of 5", "1 of 5", "5 of 5"}) {
        press(QKeySequence::FindPrevious);
        QCOMPARE(count(), QString::fromLatin1(expected));
    }
    QCOMPARE(pane->textCursor().selectionStart(),
             pane->toPlainText().lastIndexOf(QLatin1String("error")));
    press(QKeySequence::FindNext);
    QCOMPARE(count(), QStringLiteral("1 of 5"));

    QTest::mouseClick(caseSensitive, Qt::LeftButton);
    QCOMPARE(count(), QStringLiteral("1 of 3"));
    QCOMPARE(currentText(), QStringLiteral("error here"));
    QCOMPARE(pane->extraSelections().size(), 3);
    QTest::keyClick(field, Qt::Key_X);
    QCOMPARE(count(), QStringLiteral("No matches"));
    QVERIFY(pane->extraSelections().isEmpty());
    QVERIFY(!pane->textCursor().hasSelection());
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(count(), QStringLiteral("1 of 3"));

    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QVERIFY(pane->extraSelections().isEmpty());
    QCOMPARE(QApplication::focusWidget(), pane);
    // Opened again, it searches again for what it held. Find next and previous open it as Find
    // does, at the first match after the top of the view, without moving on from it.
    const QKeySequence::StandardKey openings[] = {QKeySequence::Find, QKeySequence::FindNext,
                                                  QKeySequence::FindPrevious};
    for (const QKeySequence::StandardKey key : openings) {
        press(key);
        QVERIFY(bar->isVisible());
        QCOMPARE(field->selectedText(), QStringLiteral("error"));
        QCOMPARE(count(), QStringLiteral("1 of 3"));
        QCOMPARE(pane->extraSelections().size(), 3);
        // The bar's close button closes it as Esc does.
        QTest::mouseClick(bar->findChild<QToolButton *>(QStringLiteral("findClose")),
                          Qt::LeftButton);
        QVERIFY(bar->isHidden());
        QVERIFY(pane->extraSelections().isEmpty());
        QCOMPARE(QApplication::focusWidget(), pane);
    }
}

void FindTest::switchingTabsSearchesThePaneOnShow()
{
    send({"alpha beta"}, 0);
    send({"beta beta", "gamma Beta"}, 1);
    press(QKeySequence::Find);
    QTest::keyClicks(field, QStringLiteral("beta"));
    QCOMPARE(count(), QStringLiteral("1 of 1"));

    QTabBar *tabs = w->tabs->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTRY_COMPARE(count(), QStringLiteral("1 of 3"));
    QVERIFY(bar->isVisible());
    QCOMPARE(w->logs[1]->extraSelections().size(), 3);
    QVERIFY(w->logs[0]->extraSelections().isEmpty());
    QCOMPARE(currentText(1), QStringLiteral("beta beta"));

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QTRY_COMPARE(count(), QStringLiteral("No matches"));
    QVERIFY(w->logs[1]->extraSelections().isEmpty());
}

void FindTest::onlyMatchesNearTheViewAreHighlighted()
{
    QStringList items;
    for (int i = 1; i <= 300; ++i)
        items.append(QStringLiteral("item %1").arg(i));
    send(items);
    QTextEdit *pane = w->logs[0];
    auto highlightedLines = [pane] {
        QStringList lines;
        for (const QTextEdit::ExtraSelection &selection : pane->extraSelections())
            lines.append(lineAt(selection.cursor));
        return lines;
    };

    QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
    press(QKeySequence::Find);
    QTest::keyClicks(field, QStringLiteral("item"));
    QCOMPARE(count(), QStringLiteral("1 of 300"));
    QStringList lines = highlightedLines();
    QVERIFY(lines.contains(QStringLiteral("item 1")));
    QVERIFY(lines.size() < 300);
    QVERIFY(!lines.contains(QStringLiteral("item 300")));

    // The view moves to the end: the highlights go with it.
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_End, Qt::ControlModifier);
    QTRY_VERIFY(highlightedLines().contains(QStringLiteral("item 300")));
    QVERIFY(!highlightedLines().contains(QStringLiteral("item 1")));
    QCOMPARE(count(), QStringLiteral("1 of 300"));
}

void FindTest::arrivingAndTrimmedTextsKeepTheCurrentMatch()
{
    window->setHistoryLimit(10);
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    send(lines);
    press(QKeySequence::Find);
    QTest::keyClicks(field, QStringLiteral("line"));
    QCOMPARE(count(), QStringLiteral("1 of 10"));
    for (int i = 0; i < 7; ++i)
        press(QKeySequence::FindNext);
    QCOMPARE(count(), QStringLiteral("8 of 10"));
    QCOMPARE(currentText(), QStringLiteral("line 8"));

    // The eleventh text goes over the limit: the two oldest go (and a tenth of the limit more).
    send({"line 11"});
    QTRY_COMPARE(count(), QStringLiteral("6 of 9"));
    QCOMPARE(currentText(), QStringLiteral("line 8"));
    QCOMPARE(w->logs[0]->toPlainText().count(QLatin1String("line")), 9);
    QTRY_COMPARE(w->logs[0]->extraSelections().size(), 9);
    // Two more: again two go, "line 5" is the first left.
    send({"<i>no match</i>", "last line"});
    QTRY_COMPARE(count(), QStringLiteral("4 of 8"));
    QCOMPARE(currentText(), QStringLiteral("line 8"));
    // Tables and lists arrive as blocks and frames of their own; the matches stay in place.
    send({"<table><tr><td>a line</td><td>LINE b</td></tr></table>", "<ul><li>line</li></ul>"});
    QTRY_COMPARE(count(), QStringLiteral("2 of 9"));
    QCOMPARE(currentText(), QStringLiteral("line 8"));
    QTRY_COMPARE(w->logs[0]->extraSelections().size(), 9);
    for (const QTextEdit::ExtraSelection &selection : w->logs[0]->extraSelections())
        QCOMPARE(selection.cursor.selectedText().toLower(), QStringLiteral("line"));

    QTest::mouseClick(w->clearNow, Qt::LeftButton);
    QTRY_COMPARE(count(), QStringLiteral("No matches"));
    QVERIFY(w->logs[0]->extraSelections().isEmpty());
    send({"a line again"});
    QTRY_COMPARE(count(), QStringLiteral("1 of 1"));
}

// The pane's document holds a window of 20 texts; find searches the whole history.
void FindTest::findsTextsOutsideTheWindow()
{
    QTextEdit *pane = w->logs[0];
    pane->findChild<LogPane *>()->setWindowCapacity(20);
    QStringList texts = {QStringLiteral("<b>needle</b> one")};
    for (int i = 1; i <= 60; ++i)
        texts.append(QStringLiteral("item %1").arg(i));
    texts.append(QStringLiteral("needle two"));
    send(texts);
    QVERIFY(!pane->toPlainText().contains(QLatin1String("needle one")));

    press(QKeySequence::Find);
    QTest::keyClicks(field, QStringLiteral("needle"));
    QCOMPARE(count(), QStringLiteral("2 of 2"));
    press(QKeySequence::FindNext);
    QCOMPARE(count(), QStringLiteral("1 of 2"));
    QCOMPARE(currentText(), QStringLiteral("needle one"));
    QCOMPARE(pane->textCursor().selectedText(), QStringLiteral("needle"));
    QCOMPARE(lineAt(pane->cursorForPosition(QPoint(0, 0))).left(6), QStringLiteral("needle"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("item 1"));
    QCOMPARE(count().section(QLatin1Char(' '), -1), QStringLiteral("11"));
}

QTEST_MAIN(FindTest)
#include "tst_find.moc"
