// The "Log" and "View" menus: saving, copying, clearing, finding and following in the pane on
// show, pausing the panes, and the filter rules.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/logmenus.h"

#include "find/findbar.h"
#include "find/logfinder.h"
#include "panes/logpane.h"
#include "files/logsaver.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>

LogMenus::LogMenus(QMainWindow *window, QMenu *fileMenu, QTabWidget *tabs,
                   const std::array<LogPane *, paneCount> &panes, QBoxLayout *centralLayout)
    : QObject(window), window(window), tabs(tabs), panes(panes)
{
    QMenu *logMenu = addLogMenu(fileMenu);
    addSaveAndCopyActions(logMenu);
    QAction *clearPane = logMenu->addAction(tr("Clear pane"));
    clearPane->setObjectName(QStringLiteral("actionClearPane"));
    connect(clearPane, &QAction::triggered, this,
            [this] { emit clearPaneRequested(shownPaneIndex()); });
    logMenu->addSeparator();
    addRecordingActions(logMenu);
    logMenu->addSeparator();
    addFindActions(logMenu, centralLayout);
    addViewMenu();
}

LogMenus::~LogMenus()
{
    // The finder lets go of its pane while the pane is whole.
    logFinder->setView(nullptr);
}

void LogMenus::setSavePathChooser(SavePathChooser chooser)
{
    savePathChooser = std::move(chooser);
}

QMenu *LogMenus::addLogMenu(QMenu *fileMenu)
{
    QMenuBar *bar = window->menuBar();
    auto *menu = new QMenu(tr("Log"), bar);
    menu->setObjectName(QStringLiteral("menuLog"));
    const QList<QAction *> entries = bar->actions();
    // Right after "File"; a null "before" appends.
    bar->insertMenu(entries.value(entries.indexOf(fileMenu->menuAction()) + 1), menu);
    return menu;
}

void LogMenus::addSaveAndCopyActions(QMenu *menu)
{
    QAction *save = menu->addAction(tr("Save log as..."));
    save->setObjectName(QStringLiteral("actionSaveLog"));
    save->setShortcut(QKeySequence(QKeySequence::Save));
    connect(save, &QAction::triggered, this, &LogMenus::saveLog);
    QAction *copyAll = menu->addAction(LogPane::copyAllText());
    copyAll->setObjectName(QStringLiteral("actionCopyAll"));
    connect(copyAll, &QAction::triggered, this, [this] { shownPane()->copyAll(); });
}

void LogMenus::addRecordingActions(QMenu *menu)
{
    QAction *record = menu->addAction(tr("Record to..."));
    record->setObjectName(QStringLiteral("actionRecord"));
    connect(record, &QAction::triggered, this, [this] {
        const QString path = askRecordingPath(true);
        if (!path.isEmpty())
            emit recordRequested(path);
    });
    actionStopRecording = menu->addAction(tr("Stop recording"));
    actionStopRecording->setObjectName(QStringLiteral("actionStopRecording"));
    actionStopRecording->setEnabled(false);
    connect(actionStopRecording, &QAction::triggered, this, &LogMenus::stopRecordingRequested);
    QAction *open = menu->addAction(tr("Open recording..."));
    open->setObjectName(QStringLiteral("actionOpenRecording"));
    connect(open, &QAction::triggered, this, [this] {
        const QString path = askRecordingPath(false);
        if (!path.isEmpty())
            emit openRecordingRequested(path);
    });
}

void LogMenus::showRecording(bool recording)
{
    actionStopRecording->setEnabled(recording);
}

void LogMenus::addFindActions(QMenu *menu, QBoxLayout *centralLayout)
{
    QAction *find = menu->addAction(tr("Find..."));
    find->setObjectName(QStringLiteral("actionFind"));
    find->setShortcut(QKeySequence(QKeySequence::Find));
    QAction *next = menu->addAction(tr("Find next"));
    next->setObjectName(QStringLiteral("actionFindNext"));
    next->setShortcut(QKeySequence(QKeySequence::FindNext));
    QAction *previous = menu->addAction(tr("Find previous"));
    previous->setObjectName(QStringLiteral("actionFindPrevious"));
    previous->setShortcut(QKeySequence(QKeySequence::FindPrevious));

    // One bar for all four panes, at the bottom of the central layout: the rows above keep
    // their places, and each page keeps its pane alone.
    findBar = new FindBar(centralLayout->parentWidget());
    findBar->hide();
    centralLayout->addWidget(findBar);
    logFinder = new LogFinder(this);

    connect(find, &QAction::triggered, this, &LogMenus::openFindBar);
    // With the bar closed, they open it, which goes to the first match after the view.
    connect(next, &QAction::triggered, this, [this] {
        if (!openFindBar())
            logFinder->findNext();
    });
    connect(previous, &QAction::triggered, this, [this] {
        if (!openFindBar())
            logFinder->findPrevious();
    });
    connect(findBar, &FindBar::searchChanged, this,
            [this] { logFinder->setPattern(findBar->pattern(), findBar->caseSensitivity()); });
    connect(findBar, &FindBar::searchChanged, this, &LogMenus::announceFindFilter);
    connect(findBar, &FindBar::filterSwitched, this, &LogMenus::announceFindFilter);
    connect(tabs, &QTabWidget::currentChanged, this, &LogMenus::announceFindFilter);
    connect(findBar, &FindBar::nextRequested, logFinder, &LogFinder::findNext);
    connect(findBar, &FindBar::dismissed, this, &LogMenus::closeFindBar);
    connect(logFinder, &LogFinder::resultChanged, findBar, &FindBar::showResult);
    // The pane that comes on show is laid out on the next turn (LogPane); it is searched
    // after that, so that its view knows where its top is.
    connect(tabs, &QTabWidget::currentChanged, this, &LogMenus::findInShownPane,
            Qt::QueuedConnection);
}

void LogMenus::addViewMenu()
{
    auto *menu = menuView = new QMenu(tr("View"), window->menuBar());
    menu->setObjectName(QStringLiteral("menuView"));
    window->menuBar()->addMenu(menu);
    actionFollow = menu->addAction(tr("Follow new texts"));
    actionFollow->setObjectName(QStringLiteral("actionFollow"));
    actionFollow->setCheckable(true);
    connect(actionFollow, &QAction::triggered, this,
            [this](bool follow) { shownPane()->setFollowing(follow); });
    for (LogPane *pane : panes)
        connect(pane, &LogPane::followingChanged, this, &LogMenus::showFollowing);
    connect(tabs, &QTabWidget::currentChanged, this, &LogMenus::showFollowing);
    showFollowing();

    // Ctrl+Shift+P, as the Pause key is missing from many keyboards.
    QAction *pause = menu->addAction(tr("Pause"));
    pause->setObjectName(QStringLiteral("actionPause"));
    pause->setCheckable(true);
    pause->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    connect(pause, &QAction::toggled, this, &LogMenus::pauseSwitched);

    menu->addSeparator();
    QAction *rules = menu->addAction(tr("Filters and highlights..."));
    rules->setObjectName(QStringLiteral("actionFilters"));
    connect(rules, &QAction::triggered, this, &LogMenus::rulesDialogRequested);
}

int LogMenus::shownPaneIndex() const
{
    return qBound(0, tabs->currentIndex(), paneCount - 1);
}

LogPane *LogMenus::shownPane() const
{
    return panes[size_t(shownPaneIndex())];
}

QString LogMenus::askSavePath()
{
    if (savePathChooser)
        return savePathChooser();
    return QFileDialog::getSaveFileName(window, tr("Save log as"), QString(),
                                        tr("Text (*.txt *.log);;HTML (*.html)"));
}

QString LogMenus::askRecordingPath(bool toWrite)
{
    if (savePathChooser)
        return savePathChooser();
    const QString filter = tr("Recordings (*.sqlite *.db);;All files (*)");
    return toWrite ? QFileDialog::getSaveFileName(window, tr("Record to"), QString(), filter,
                                                  nullptr, QFileDialog::DontConfirmOverwrite)
                   : QFileDialog::getOpenFileName(window, tr("Open recording"), QString(), filter);
}

void LogMenus::saveLog()
{
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    // The whole history, not only what the pane's document holds now.
    const LogSaveResult result = ::saveLog(*shownPane()->historyDocument(), path);
    if (!result.succeeded()) {
        QMessageBox::warning(window, tr("Save log as"),
                             tr("The log could not be saved to %1:\n%2")
                                 .arg(QDir::toNativeSeparators(path), result.error));
    }
}

bool LogMenus::openFindBar()
{
    if (!findBar->isHidden()) {
        findBar->open(); // the keyboard back in the field
        return false;
    }
    findBar->open();
    logFinder->setPattern(findBar->pattern(), findBar->caseSensitivity());
    logFinder->setView(shownPane()->view());
    announceFindFilter();
    return true;
}

void LogMenus::findInShownPane()
{
    if (!findBar->isHidden())
        logFinder->setView(shownPane()->view());
}

void LogMenus::closeFindBar()
{
    logFinder->setView(nullptr);
    announceFindFilter();
    shownPane()->view()->setFocus(Qt::OtherFocusReason);
}

void LogMenus::announceFindFilter()
{
    const bool on = !findBar->isHidden() && findBar->isFiltering() && !findBar->pattern().isEmpty();
    emit findFilterChanged(on ? shownPaneIndex() : -1, findBar->pattern(),
                           findBar->caseSensitivity() == Qt::CaseSensitive);
}

void LogMenus::showFollowing()
{
    actionFollow->setChecked(shownPane()->isFollowing());
}
