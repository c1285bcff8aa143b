// Rows of senders: their address, name, counts, rate and losses, and whether they are shown.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sourcesmodel.h"

#include "sources/sourceregistry.h"

#include <QDateTime>

SourcesModel::SourcesModel(SourceRegistry *registry, QObject *parent)
    : QAbstractTableModel(parent), registry(registry)
{ }

int SourcesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows;
}

int SourcesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

void SourcesModel::update()
{
    updateTime = ArrivalTime::now();
    if (registry->size() > rows) {
        beginInsertRows(QModelIndex(), rows, registry->size() - 1);
        rows = registry->size();
        endInsertRows();
    }
    if (rows > 0)
        emit dataChanged(index(0, Program), index(rows - 1, Columns - 1));
}

QVariant SourcesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows)
        return QVariant();
    const Source &source = registry->at(index.row());
    switch (role) {
    case Qt::CheckStateRole:
        if (index.column() == Muted)
            return source.muted ? Qt::Checked : Qt::Unchecked;
        if (index.column() == Solo)
            return source.soloed ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::DisplayRole:
        return display(index.row(), index.column());
    case SortRole:
        return sortValue(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return index.column() >= Texts ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return QVariant();
    }
}

QVariant SourcesModel::display(int row, int column) const
{
    const Source &source = registry->at(row);
    switch (column) {
    case Sender:
        return source.sender.toString();
    case Program:
        return source.app;
    case Texts:
        return source.texts;
    case Rate:
        return QString::number(source.rate(updateTime), 'f', 1);
    case LastSeen:
        return source.lastSeen > 0 ? QDateTime::fromMSecsSinceEpoch(source.lastSeen / 1000000)
                                         .toString(QStringLiteral("HH:mm:ss"))
                                   : QString();
    case Lost:
        return source.sequence.lost();
    case OutOfOrder:
        return source.sequence.outOfOrder();
    default:
        return QVariant();
    }
}

QVariant SourcesModel::sortValue(int row, int column) const
{
    const Source &source = registry->at(row);
    switch (column) {
    case Muted:
        return source.muted;
    case Solo:
        return source.soloed;
    case Rate:
        return source.rate(updateTime);
    case LastSeen:
        return source.lastSeen;
    case Sender:
        // Rows in the order senders came, which is by address for a network of them.
        return row;
    default:
        return display(row, column);
    }
}

QVariant SourcesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Muted:
        return tr("Mute");
    case Solo:
        return tr("Solo");
    case Sender:
        return tr("Sender");
    case Program:
        return tr("Program");
    case Texts:
        return tr("Texts");
    case Rate:
        return tr("Texts/s (10 s)");
    case LastSeen:
        return tr("Last seen");
    case Lost:
        return tr("Lost");
    case OutOfOrder:
        return tr("Out of order");
    default:
        return QVariant();
    }
}

Qt::ItemFlags SourcesModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Muted || index.column() == Solo)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool SourcesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rows)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (index.column() == Muted)
        registry->setMuted(index.row(), checked);
    else if (index.column() == Solo)
        registry->setSoloed(index.row(), checked);
    else
        return false;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}
