// The filter rules in a running window, with real datagrams: a rules file read at start, the
// dialog, a pane's context menu and the find bar's filter.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/atomicfile.h"
#include "filters/rulesfile.h"
#include "panes/logpane.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

#include <memory>

static const QStringList fourTabs = {"A", "B", "C", "D"};

class FiltersTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rulesFileAppliesFromTheFirstDatagram_data();
    void rulesFileAppliesFromTheFirstDatagram();
    void hiddenTextComesBackWhenItsRuleIsOff();
    void contextMenuMakesARuleForItsPane();
    void findBarFilterLastsWhileTheBarIsOpen();

private:
    void startWindow(const QByteArray &rules, const QString &rulesFile = QString());
    void send(const QString &log1, const QString &log2 = QString());
    QString hiddenText() const;

    TestHome *home = nullptr;
    quint16 port = 0;
    MainWindow *window = nullptr;
    WindowWidgets *w = nullptr;
};

void FiltersTest::init()
{
    home = new TestHome;
}

void FiltersTest::cleanup()
{
    delete w;
    w = nullptr;
    delete window;
    window = nullptr;
    delete home;
    home = nullptr;
}

// A window whose rules file holds `rules` (none written when empty).
void FiltersTest::startWindow(const QByteArray &rules, const QString &rulesFile)
{
    port = home->useFreePort("timeoutEnabled = 0\n");
    const QString path =
        rulesFile.isEmpty() ? home->configDir() + QLatin1String("/filters.json") : rulesFile;
    if (!rules.isEmpty())
        QCOMPARE(writeFileAtomically(path, rules), QString());
    window = new MainWindow(nullptr, rulesFile);
    w = new WindowWidgets(*window);
    QVERIFY(w->complete());
    window->show();
}

void FiltersTest::send(const QString &log1, const QString &log2)
{
    QVERIFY(sendDatagram(port, message(fourTabs, log1, log2)));
}

// The status row's "N hidden", empty while hidden or not made yet.
QString FiltersTest::hiddenText() const
{
    const auto *label = window->findChild<QLabel *>(QStringLiteral("uiHidden"));
    return label && !label->isHidden() ? label->text() : QString();
}

void FiltersTest::rulesFileAppliesFromTheFirstDatagram_data()
{
    QTest::addColumn<QByteArray>("rules");
    QTest::addColumn<bool>("ownFile"); // given with --filters
    QTest::addColumn<QString>("pane1");
    QTest::addColumn<QString>("pane2");
    QTest::addColumn<QString>("marked"); // the text of pane 1 with the rule's background
    QTest::addColumn<QString>("warning");

    const QByteArray hide = R"({"rules": [{"action": "hide", "pattern": "debug", "panes": [1]}]})";
    QTest::newRow("hide") << hide << false << "info\nerror"
                          << "debug"
                          << ""
                          << "";
    QTest::newRow("hide, from --filters") << hide << true << "info\nerror"
                                          << "debug"
                                          << ""
                                          << "";
    QTest::newRow("show only") << QByteArray(
        R"({"rules": [{"action": "show", "pattern": "^e", "regex": true}]})")
                               << false << "error"
                               << ""
                               << ""
                               << "";
    QTest::newRow("highlight") << QByteArray(
        R"({"rules": [{"action": "highlight", "pattern": "ERROR",
            "caseSensitive": false, "background": "#ffc8c8"}]})")
                               << false << "debug\ninfo\nerror"
                               << "debug"
                               << "error"
                               << "";
    QTest::newRow("not JSON: everything, and a warning")
        << QByteArray("{\"rules\": [") << false << "debug\ninfo\nerror"
        << "debug"
        << ""
        << "filters.json";
}

void FiltersTest::rulesFileAppliesFromTheFirstDatagram()
{
    QFETCH(QByteArray, rules);
    QFETCH(bool, ownFile);
    QFETCH(QString, pane1);
    QFETCH(QString, marked);
    QFETCH(QString, warning);
    MessageCatcher messages;
    startWindow(rules, ownFile ? home->path() + QLatin1String("/team.json") : QString());
    const QStringList warnings = messages.messages().filter(QStringLiteral("corvane:"));
    QCOMPARE(warnings.size(), int(!warning.isEmpty()));
    QVERIFY(warnings.filter(warning).size() == warnings.size());

    send(QStringLiteral("debug"), QStringLiteral("debug"));
    send(QStringLiteral("info"));
    send(QStringLiteral("error"));
    QTRY_COMPARE(w->tabTitles().first(), QStringLiteral("A (3)"));
    QTRY_COMPARE(w->logs[0]->toPlainText(), pane1);
    QTEST(w->logs[1]->toPlainText(), "pane2");
    for (QTextBlock block = w->logs[0]->document()->begin(); block.isValid();
         block = block.next()) {
        const bool coloured = block.blockFormat().background().color() == QColor("#ffc8c8");
        QCOMPARE(coloured, block.text() == marked);
    }
    // Nothing is written until the rules change.
    if (!warning.isEmpty())
        QVERIFY(!QFile::exists(home->configDir() + QLatin1String("/filters.json.bad")));
}

void FiltersTest::hiddenTextComesBackWhenItsRuleIsOff()
{
    startWindow(R"({"rules": [{"action": "hide", "pattern": "noise"}]})");
    send(QStringLiteral("first"));
    send(QStringLiteral("noise"));
    send(QStringLiteral("last"));
    QTRY_COMPARE(w->tabTitles().first(), QStringLiteral("A (3)"));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("first\nlast"));
    QCOMPARE(hiddenText(), QStringLiteral("1 hidden"));

    window->findChild<QAction *>(QStringLiteral("actionFilters"))->trigger();
    auto *dialog = window->findChild<QDialog *>(QStringLiteral("rulesDialog"));
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    dialog->findChild<QCheckBox *>(QStringLiteral("ruleEnabled"))->click();
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("first\nnoise\nlast"));
    QCOMPARE(w->tabTitles().first(), QStringLiteral("A (3)"));
    QCOMPARE(hiddenText(), QString());
    // Saved at once, switched off.
    QFile file(home->configDir() + QLatin1String("/filters.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const RulesRead saved = rulesFromJson(file.readAll());
    QCOMPARE(saved.rules.size(), 1);
    QVERIFY(!saved.rules.first().enabled);

    // An invalid regular expression says why beside it, and hides nothing.
    dialog->findChild<QCheckBox *>(QStringLiteral("ruleEnabled"))->click();
    auto *pattern = dialog->findChild<QLineEdit *>(QStringLiteral("rulePattern"));
    pattern->setText(QStringLiteral("(no"));
    dialog->findChild<QCheckBox *>(QStringLiteral("ruleRegex"))->click();
    QVERIFY(!dialog->findChild<QLabel *>(QStringLiteral("ruleError"))->text().isEmpty());
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("first\nnoise\nlast"));
}

void FiltersTest::contextMenuMakesARuleForItsPane()
{
    startWindow(QByteArray());
    send(QStringLiteral("keep"), QStringLiteral("chatter"));
    send(QStringLiteral("chatter"), QStringLiteral("keep"));
    QTRY_COMPARE(w->paneTexts().mid(0, 2), QStringList({"keep\nchatter", "chatter\nkeep"}));

    QTextCursor cursor = w->logs[0]->document()->find(QStringLiteral("chatter"));
    w->logs[0]->setTextCursor(cursor);
    std::unique_ptr<QMenu> menu(w->logs[0]->findChild<LogPane *>()->createContextMenu({1, 1}));
    menu->findChild<QAction *>(QStringLiteral("actionHideLikeThis"))->trigger();
    QCOMPARE(w->paneTexts().mid(0, 2), QStringList({"keep", "chatter\nkeep"}));
    QCOMPARE(hiddenText(), QStringLiteral("1 hidden"));
    // The pane on show decides the count.
    w->tabs->setCurrentIndex(1);
    QCOMPARE(hiddenText(), QString());

    // No selection, no rule to make.
    w->logs[1]->setTextCursor(QTextCursor(w->logs[1]->document()));
    menu.reset(w->logs[1]->findChild<LogPane *>()->createContextMenu({1, 1}));
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("actionHideLikeThis")));
}

void FiltersTest::findBarFilterLastsWhileTheBarIsOpen()
{
    startWindow(QByteArray());
    for (const char *text : {"alpha", "beta", "alphabet"})
        send(QString::fromLatin1(text));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("alpha\nbeta\nalphabet"));

    window->findChild<QAction *>(QStringLiteral("actionFind"))->trigger();
    window->findChild<QLineEdit *>(QStringLiteral("findText"))->setText(QStringLiteral("ALPHA"));
    window->findChild<QCheckBox *>(QStringLiteral("findFilter"))->click();
    QCOMPARE(w->logs[0]->toPlainText(), QStringLiteral("alpha\nalphabet"));
    send(QStringLiteral("gamma"));
    send(QStringLiteral("alpha again"));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("alpha\nalphabet\nalpha again"));
    QCOMPARE(hiddenText(), QStringLiteral("2 hidden"));
    // Typed further: applied once typing pauses.
    window->findChild<QLineEdit *>(QStringLiteral("findText"))->setText(QStringLiteral("alphab"));
    QTRY_COMPARE(w->logs[0]->toPlainText(), QStringLiteral("alphabet"));

    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_COMPARE(w->logs[0]->toPlainText(),
                 QStringLiteral("alpha\nbeta\nalphabet\ngamma\nalpha again"));
    // Never saved.
    QVERIFY(!QFile::exists(home->configDir() + QLatin1String("/filters.json")));
}

QTEST_MAIN(FiltersTest)
#include "tst_filters.moc"
