// The status row's count of texts waiting for the panes while they are paused.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WAITINGLABEL_H
#define WAITINGLABEL_H

#include <QObject>

class QBoxLayout;
class QLabel;
class QWidget;

// The label is made when the panes are first paused: until then the window is as it always was.
class WaitingLabel : public QObject
{
    Q_OBJECT

public:
    // The label goes at the end of the layout, into the widget that holds it.
    WaitingLabel(QWidget *holder, QBoxLayout *layout, QObject *parent = nullptr);

public slots:
    // Shown while paused, and while texts still wait to go in after; hidden otherwise.
    void showWaiting(bool paused, qint64 waiting);

private:
    QWidget *holder;
    QBoxLayout *layout;
    QLabel *label = nullptr;
};

#endif // WAITINGLABEL_H
