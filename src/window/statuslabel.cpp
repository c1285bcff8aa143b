// A label at the end of the status row, made when first shown.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/statuslabel.h"

#include <QBoxLayout>
#include <QLabel>

StatusLabel::StatusLabel(QWidget *holder, QBoxLayout *layout, QObject *parent)
    : QObject(parent), holder(holder), layout(layout)
{ }

void StatusLabel::showText(const QString &text, const QString &objectName,
                           const QString &toolTip)
{
    if (!label) {
        label = new QLabel(holder);
        label->setObjectName(objectName);
        label->setToolTip(toolTip);
        layout->addWidget(label);
    }
    label->setText(text);
    label->show();
}

void StatusLabel::hide()
{
    if (label)
        label->hide();
}
