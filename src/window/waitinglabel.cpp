// Shows how many texts wait for the paused panes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waitinglabel.h"

#include <QBoxLayout>
#include <QLabel>

WaitingLabel::WaitingLabel(QWidget *holder, QBoxLayout *layout, QObject *parent)
    : QObject(parent), holder(holder), layout(layout)
{ }

void WaitingLabel::showWaiting(bool paused, qint64 waiting)
{
    if (!paused && waiting <= 0) {
        if (label)
            label->hide();
        return;
    }
    if (!label) {
        label = new QLabel(holder);
        label->setObjectName(QStringLiteral("uiWaiting"));
        label->setToolTip(tr("Texts that arrived while the panes were paused. They show when "
                             "the panes are unpaused."));
        layout->addWidget(label);
    }
    label->setText(tr("%1 new").arg(waiting));
    label->show();
}
