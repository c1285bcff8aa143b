// The status line's count of datagrams lost at the socket.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOSSLABEL_H
#define LOSSLABEL_H

#include <QObject>

class QBoxLayout;
class QLabel;
class QWidget;

// The label is made when there first is a loss: until then the window is as it always was.
class LossLabel : public QObject
{
    Q_OBJECT

public:
    // The label goes at the end of the layout, into the widget that holds it.
    LossLabel(QWidget *holder, QBoxLayout *layout, QObject *parent = nullptr);

public slots:
    // Datagrams lost since the socket was bound; none hides the label.
    void showLoss(qint64 lost);

private:
    QWidget *holder;
    QBoxLayout *layout;
    QLabel *label = nullptr;
};

#endif // LOSSLABEL_H
