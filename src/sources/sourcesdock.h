// The "Sources" panel: a table of the senders, with each one's texts muted or soloed.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SOURCESDOCK_H
#define SOURCESDOCK_H

#include <QDockWidget>

class QTableView;
class QTimer;
class SourceRegistry;
class SourcesModel;

// Docked to the window, hidden until asked for (toggleViewAction() opens and closes it). It
// takes in what the registry counted once a second while it is open, and not at all while it
// is closed.
class SourcesDock : public QDockWidget
{
    Q_OBJECT

public:
    SourcesDock(SourceRegistry *registry, QWidget *parent = nullptr);

    SourcesModel *model() const { return sourcesModel; }

private:
    void followVisibility(bool visible);
    void makeRoomInWindow();

    SourcesModel *sourcesModel;
    QTableView *table;
    QTimer *updates;
    bool roomMade = false;
};

#endif // SOURCESDOCK_H
