// The senders of a SourceRegistry as a table, brought up to date when asked.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SOURCESMODEL_H
#define SOURCESMODEL_H

#include <QAbstractTableModel>

class SourceRegistry;

// One row per sender, in the order they first came. The registry counts all the time; the
// table shows what it counted at the latest update(), so a view asks for nothing while it is
// shown and a flood does not repaint it. "Muted" and "Solo" are check boxes.
class SourcesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Muted, Solo, Sender, Program, Texts, Rate, LastSeen, Lost, OutOfOrder, Columns };

    explicit SourcesModel(SourceRegistry *registry, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The role by which the columns sort: numbers as numbers.
    static constexpr int SortRole = Qt::UserRole;

public slots:
    // Takes in the senders that came since and the counts as they are now.
    void update();

private:
    QVariant display(int row, int column) const;
    QVariant sortValue(int row, int column) const;

    SourceRegistry *registry;
    int rows = 0;
    qint64 updateTime = 0; // arrival-time clock, for the rates
};

#endif // SOURCESMODEL_H
