// A table view over the senders, sortable, updated once a second while on show.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sourcesdock.h"

#include "sources/sourcesmodel.h"

#include <QHeaderView>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>

SourcesDock::SourcesDock(SourceRegistry *registry, QWidget *parent)
    : QDockWidget(tr("Sources"), parent),
      sourcesModel(new SourcesModel(registry, this)),
      table(new QTableView(this)),
      updates(new QTimer(this))
{
    setObjectName(QStringLiteral("sourcesDock"));
    table->setObjectName(QStringLiteral("sourcesTable"));
    auto *sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(sourcesModel);
    sorted->setSortRole(SourcesModel::SortRole);
    table->setModel(sorted);
    table->setSortingEnabled(true);
    table->sortByColumn(SourcesModel::Sender, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    // Fixed row heights and column widths: a thousand rows are never measured one by one.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(SourcesModel::Muted, 50);
    table->setColumnWidth(SourcesModel::Solo, 50);
    table->setColumnWidth(SourcesModel::Sender, 150);
    // The counts as wide as their titles, so that every column fits a window's width.
    for (int column = SourcesModel::Sender + 1; column < sourcesModel->columnCount(); ++column)
        table->setColumnWidth(column, qMax(60, table->horizontalHeader()->sectionSizeHint(column)));
    setWidget(table);

    updates->setInterval(1000);
    connect(updates, &QTimer::timeout, sourcesModel, &SourcesModel::update);
    connect(this, &QDockWidget::visibilityChanged, this, &SourcesDock::followVisibility);
}

void SourcesDock::followVisibility(bool visible)
{
    if (!visible) {
        updates->stop();
        return;
    }
    sourcesModel->update();
    updates->start();
    makeRoomInWindow();
}

// The first time the panel opens below the panes, the window grows by its height, as far as
// the screen allows, rather than squeezing the panes into what is left.
void SourcesDock::makeRoomInWindow()
{
    if (roomMade || isFloating())
        return;
    roomMade = true;
    QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    if (!window || window->isMaximized() || window->isFullScreen())
        return;
    const int wanted = 8 * table->verticalHeader()->defaultSectionSize();
    const QScreen *screen = window->screen();
    const int room = screen ? screen->availableGeometry().bottom() - window->frameGeometry().bottom()
                            : wanted;
    window->resize(window->width(), window->height() + qBound(0, room, wanted));
}
