// Tests of the main window's widget tree, menus and shortcuts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

// The main window as it stands after start-up: its widgets, their order and texts, the menu,
// the shortcuts, and leaving through File, Exit.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithDefaults();
    void widgetTreeHasNamesAndOrder();
    void formTexts();
    void menuAndShortcuts();
    void exitClosesAndSettingsAreWrittenAtDestruction();
};

void MainWindowTest::startsWithDefaults()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v.1.0"));
    QCOMPARE(window.geometry(), QRect(50, 50, 700, 400));
    const QImage about = QPixmap(QStringLiteral(":/corvane/Resources/about.jpg")).toImage();
    QVERIFY(!about.isNull());
    QCOMPARE(window.windowIcon().pixmap(about.size()).toImage(), about);
    QCOMPARE(w.serverIp->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(w.serverPort->value(), int(port));
    QVERIFY(w.timeoutEnabled->isChecked());
    QCOMPARE(w.timeoutValue->value(), 2);
    QCOMPARE(w.tabTitles(), QStringList({"Log 1", "Log 2", "Log 3", "Log4"}));
    QCOMPARE(w.tabs->currentIndex(), 0);
    QCOMPARE(w.paneTexts(), QStringList({"", "", "", ""}));
    QCOMPARE(w.statusText->text(), QStringLiteral("Listening at 127.0.0.1:%1").arg(port));
    QVERIFY(labelShowsImage(w.statusIcon, QStringLiteral(":/corvane/Resources/ledGreen.png")));
    QVERIFY(!labelShowsImage(w.statusIcon, QStringLiteral(":/corvane/Resources/ledRed.png")));

    // The boxes hold their ranges: port 0 to 65535, seconds 1 to 99.
    QCOMPARE(w.serverPort->minimum(), 0);
    QCOMPARE(w.serverPort->maximum(), 65535);
    QCOMPARE(w.timeoutValue->minimum(), 1);
    QCOMPARE(w.timeoutValue->maximum(), 99);
    // Panes are logs: the user reads them but cannot type into them.
    for (const QTextEdit *log : w.logs)
        QVERIFY(log->isReadOnly());
    QCOMPARE(w.serverIp->maximumWidth(), 135);
}

template<typename T> static T *named(const QObject &root, const char *name)
{
    return root.findChild<T *>(QLatin1String(name));
}

void MainWindowTest::widgetTreeHasNamesAndOrder()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    auto *central = named<QWidget>(window, "centralWidget");
    QVERIFY(central);
    QCOMPARE(window.centralWidget(), central);
    auto *vertical = named<QVBoxLayout>(window, "verticalLayout");
    QVERIFY(vertical);
    QCOMPARE(central->layout(), vertical);
    QCOMPARE(vertical->spacing(), 6);
    QCOMPARE(vertical->contentsMargins(), QMargins(11, 11, 11, 11));
    // The three rows, and the find bar under them, hidden until asked for.
    QCOMPARE(vertical->count(), 4);
    QWidget *findBar = vertical->itemAt(3)->widget();
    QVERIFY(findBar);
    QCOMPARE(findBar->objectName(), QStringLiteral("findBar"));
    QVERIFY(findBar->isHidden());

    // The top row: address, port, Restart, a spacer, the clear-timeout controls.
    auto *top = named<QHBoxLayout>(window, "horizontalLayout");
    QVERIFY(top);
    QCOMPARE(vertical->itemAt(0)->layout(), top);
    QCOMPARE(top->spacing(), 6);
    const char *const topNames[] = {"label",     "uiServerIp", "label_2",          "uiServerPort",
                                    "uiRestart", nullptr,      "uiTimeoutEnabled", "uiTimeoutValue",
                                    "uiClearNow"};
    QCOMPARE(top->count(), 9);
    for (int index = 0; index < 9; ++index) {
        QLayoutItem *item = top->itemAt(index);
        if (!topNames[index]) {
            QSpacerItem *spacer = item->spacerItem();
            QVERIFY(spacer);
            QCOMPARE(spacer->sizeHint(), QSize(40, 20));
            QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
            continue;
        }
        QVERIFY2(item->widget(), topNames[index]);
        QCOMPARE(item->widget()->objectName(), QString::fromLatin1(topNames[index]));
        QCOMPARE(item->widget()->parentWidget(), central);
    }
    QVERIFY(qobject_cast<QLineEdit *>(top->itemAt(1)->widget()));
    QVERIFY(qobject_cast<QSpinBox *>(top->itemAt(3)->widget()));
    QVERIFY(qobject_cast<QCheckBox *>(top->itemAt(6)->widget()));

    // The tabs: four pages, each a layout holding one pane only.
    auto *tabs = named<QTabWidget>(window, "tabWidget");
    QVERIFY(tabs);
    QCOMPARE(vertical->itemAt(1)->widget(), tabs);
    QCOMPARE(tabs->count(), 4);
    const char *const pages[] = {"tab", "tab_2", "tab_3", "tab_4"};
    for (int index = 0; index < 4; ++index) {
        QWidget *page = tabs->widget(index);
        QCOMPARE(page->objectName(), QString::fromLatin1(pages[index]));
        auto *layout = qobject_cast<QVBoxLayout *>(page->layout());
        QVERIFY(layout);
        QCOMPARE(layout->objectName(), QStringLiteral("verticalLayout_%1").arg(index + 2));
        QCOMPARE(layout->spacing(), 6);
        QCOMPARE(layout->contentsMargins(), QMargins(11, 11, 11, 11));
        QCOMPARE(layout->count(), 1);
        auto *log = qobject_cast<QTextEdit *>(layout->itemAt(0)->widget());
        QVERIFY(log);
        QCOMPARE(log->objectName(), QStringLiteral("uiLog%1").arg(index + 1));
        QCOMPARE(log->parentWidget(), page);
    }

    // The status row: lamp, text, and a spacer that pushes both to the left.
    auto *status = named<QHBoxLayout>(window, "horizontalLayout_2");
    QVERIFY(status);
    QCOMPARE(vertical->itemAt(2)->layout(), status);
    QCOMPARE(status->count(), 3);
    QCOMPARE(status->itemAt(0)->widget(), named<QLabel>(window, "uiStatusIcon"));
    QCOMPARE(status->itemAt(1)->widget(), named<QLabel>(window, "uiStatusText"));
    QVERIFY(status->itemAt(2)->spacerItem());
    QCOMPARE(status->itemAt(2)->spacerItem()->sizeHint(), QSize(40, 20));

    // A menu bar, no tool bar and no status bar.
    auto *menuBar = named<QMenuBar>(window, "menuBar");
    QVERIFY(menuBar);
    QCOMPARE(window.menuBar(), menuBar);
    QVERIFY(!window.findChild<QStatusBar *>());
    QVERIFY(!window.findChild<QToolBar *>());
}

void MainWindowTest::formTexts()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    QCOMPARE(named<QLabel>(window, "label")->text(), QStringLiteral("Server"));
    QCOMPARE(named<QLabel>(window, "label_2")->text(), QStringLiteral("Port"));
    QCOMPARE(named<QPushButton>(window, "uiRestart")->text(), QStringLiteral("Restart"));
    QCOMPARE(named<QCheckBox>(window, "uiTimeoutEnabled")->text(), QStringLiteral("Clear timeout"));
    QCOMPARE(named<QPushButton>(window, "uiClearNow")->text(), QStringLiteral("Clear now"));
    QCOMPARE(named<QLabel>(window, "uiStatusIcon")->text(), QString());
    QCOMPARE(named<QMenu>(window, "menuFile")->title(), QStringLiteral("File"));
    QCOMPARE(named<QAction>(window, "action_About")->text(), QStringLiteral("&About"));
    QCOMPARE(named<QAction>(window, "actionE_xit")->text(), QStringLiteral("E&xit"));
}

void MainWindowTest::menuAndShortcuts()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    auto *menuBar = named<QMenuBar>(window, "menuBar");
    auto *menu = named<QMenu>(window, "menuFile");
    auto *about = named<QAction>(window, "action_About");
    auto *exit = named<QAction>(window, "actionE_xit");
    QVERIFY(menuBar && menu && about && exit);
    // "File" comes first; the menus added since come after it: "Log", then "View".
    auto *logMenu = named<QMenu>(window, "menuLog");
    auto *viewMenu = named<QMenu>(window, "menuView");
    QVERIFY(logMenu && viewMenu);
    QCOMPARE(menuBar->actions(),
             QList<QAction *>({menu->menuAction(), logMenu->menuAction(), viewMenu->menuAction()}));
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0), about);
    QVERIFY(entries.at(1)->isSeparator());
    QCOMPARE(entries.at(2), exit);

    // The platform's own keys for help and quitting, whatever they are here.
    QCOMPARE(about->shortcut(), QKeySequence(QKeySequence::HelpContents));
    QCOMPARE(exit->shortcut(), QKeySequence(QKeySequence::Quit));
    QCOMPARE(about->shortcut(), QKeySequence(Qt::Key_F1));

    QCOMPARE(logMenu->title(), QStringLiteral("Log"));
    const QList<QAction *> logEntries = logMenu->actions();
    QVERIFY(logEntries.size() >= 2);
    QCOMPARE(logEntries.at(0)->objectName(), QStringLiteral("actionSaveLog"));
    QCOMPARE(logEntries.at(0)->text(), QStringLiteral("Save log as..."));
    QCOMPARE(logEntries.at(0)->shortcut(), QKeySequence(QKeySequence::Save));
    QCOMPARE(logEntries.at(1)->objectName(), QStringLiteral("actionCopyAll"));
    QCOMPARE(logEntries.at(1)->text(), QStringLiteral("Copy all"));
    QCOMPARE(viewMenu->title(), QStringLiteral("View"));
    const QList<QAction *> viewEntries = viewMenu->actions();
    QCOMPARE(viewEntries.size(), 9);
    QCOMPARE(viewEntries.at(0)->objectName(), QStringLiteral("actionFollow"));
    QCOMPARE(viewEntries.at(0)->text(), QStringLiteral("Follow new texts"));
    QVERIFY(viewEntries.at(0)->isCheckable());
    // A new pane follows its texts.
    QVERIFY(viewEntries.at(0)->isChecked());
    QCOMPARE(viewEntries.at(1)->objectName(), QStringLiteral("actionPause"));
    QCOMPARE(viewEntries.at(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    QVERIFY(viewEntries.at(2)->isSeparator());
    QCOMPARE(viewEntries.at(3)->objectName(), QStringLiteral("actionFilters"));
    QCOMPARE(viewEntries.at(3)->text(), QStringLiteral("Filters and highlights..."));
    // The Sources panel and the prefixes: checkable, all off at a first start.
    const QStringList rest = {"actionSources", "", "actionShowTimes", "actionTimeSincePrevious",
                              "actionShowSenders"};
    const QStringList texts = {"Sources", "", "Show times", "Time since previous", "Show senders"};
    for (int i = 0; i < rest.size(); ++i) {
        const QAction *entry = viewEntries.at(i + 4);
        QCOMPARE(entry->objectName(), rest.at(i));
        QCOMPARE(entry->text(), texts.at(i));
        QCOMPARE(entry->isCheckable(), !entry->isSeparator());
        QVERIFY(!entry->isChecked());
    }
}

void MainWindowTest::exitClosesAndSettingsAreWrittenAtDestruction()
{
    TestHome home;
    home.useFreePort();
    const QByteArray marker = "# written by the test\n";
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        home.writeConfig(marker);

        named<QAction>(window, "actionE_xit")->trigger();
        QTRY_VERIFY(!window.isVisible());
        // Closing only hides the window; the file is written when it is destroyed.
        QCOMPARE(home.readConfig(), marker);
    }
    const QByteArray written = home.readConfig();
    QVERIFY(written.startsWith("# Corvane config file.\n"));
    QCOMPARE(written.count('\n'), 27);
    QVERIFY(written.contains("\nwindowW = 700\n"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
