// The "Log" and "View" menus: saving, copying, clearing, finding and following in the pane on
// show, pausing the panes, and the filter rules.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGMENUS_H
#define LOGMENUS_H

#include "protocol/panes.h"

#include <QObject>

#include <array>
#include <functional>

class FindBar;
class LogFinder;
class LogPane;
class QAction;
class QBoxLayout;
class QMainWindow;
class QMenu;
class QTabWidget;

// Adds the menus that come after "File" to a window, and the find bar at the foot of its
// central layout. Each action works on the pane of the tab on show.
class LogMenus : public QObject
{
    Q_OBJECT

public:
    LogMenus(QMainWindow *window, QMenu *fileMenu, QTabWidget *tabs,
             const std::array<LogPane *, paneCount> &panes, QBoxLayout *centralLayout);
    ~LogMenus() override;

    // Asks where "Save log as..." and "Record to..." write and what "Open recording..." opens,
    // an empty name for nowhere: a file dialog unless given another way (tests choose the name
    // without a modal dialog).
    using SavePathChooser = std::function<QString()>;
    void setSavePathChooser(SavePathChooser chooser);

    // "View", for the window's parts to add their own actions to.
    QMenu *viewMenu() const { return menuView; }

public slots:
    // "Stop recording" is there to take while a recording goes on.
    void showRecording(bool recording);

signals:
    // "Clear pane": the pane on show is to be emptied.
    void clearPaneRequested(int pane);
    // "Pause": the panes are to hold still, or to take what came meanwhile.
    void pauseSwitched(bool paused);
    // "Record to...", "Stop recording" and "Open recording...".
    void recordRequested(const QString &path);
    void stopRecordingRequested();
    void openRecordingRequested(const QString &path);
    // "Filters and highlights...".
    void rulesDialogRequested();
    // The find bar's filter: the pane is to show only the texts that contain `text`; a pane of
    // -1 when the filter is off (switched off, bar closed, nothing to find).
    void findFilterChanged(int pane, const QString &text, bool caseSensitive);

private:
    QMenu *addLogMenu(QMenu *fileMenu);
    void addSaveAndCopyActions(QMenu *menu);
    void addRecordingActions(QMenu *menu);
    void addFindActions(QMenu *menu, QBoxLayout *centralLayout);
    void addViewMenu();

    void saveLog();
    QString askSavePath();
    QString askRecordingPath(bool toWrite);
    // Opens the bar and searches; false when it was open already.
    bool openFindBar();
    void findInShownPane();
    void closeFindBar();
    void announceFindFilter();
    void showFollowing();
    int shownPaneIndex() const;
    LogPane *shownPane() const;

    QMainWindow *window;
    QTabWidget *tabs;
    std::array<LogPane *, paneCount> panes;
    QMenu *menuView = nullptr;
    QAction *actionFollow = nullptr;
    QAction *actionStopRecording = nullptr;
    SavePathChooser savePathChooser;
    // Finding in the pane on show; the bar is hidden until asked for.
    FindBar *findBar = nullptr;
    LogFinder *logFinder = nullptr;
};

#endif // LOGMENUS_H
