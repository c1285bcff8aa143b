// The About box's widget tree, as a form object of plain pointers.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ABOUTWINDOWFORM_H
#define ABOUTWINDOWFORM_H

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QVBoxLayout;

// The About dialog's widget tree; the pointers own nothing.
class aboutWindowForm
{
public:
    QVBoxLayout *verticalLayout;
    QLabel *label_8;
    QHBoxLayout *horizontalLayout;
    QSpacerItem *horizontalSpacer;
    QPushButton *uiCloseButton;

    void setupUi(QDialog *aboutWindow);
    void retranslateUi(QDialog *aboutWindow);
};

#endif // ABOUTWINDOWFORM_H
