// Shows the datagrams lost at the socket, once there is one.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/losslabel.h"

#include <QBoxLayout>
#include <QLabel>

LossLabel::LossLabel(QWidget *holder, QBoxLayout *layout, QObject *parent)
    : QObject(parent), holder(holder), layout(layout)
{ }

void LossLabel::showLoss(qint64 lost)
{
    if (lost <= 0) {
        if (label)
            label->hide();
        return;
    }
    if (!label) {
        label = new QLabel(holder);
        label->setObjectName(QStringLiteral("uiLost"));
        label->setToolTip(tr("Datagrams that the system dropped at the viewer's socket since "
                             "it started listening, because they came faster than the viewer "
                             "could read them."));
        layout->addWidget(label);
    }
    label->setText(tr("Datagrams lost: %1").arg(lost));
    label->show();
}
