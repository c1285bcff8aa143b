// The About box: a modal dialog with the program's page of rich text.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ABOUTWINDOW_H
#define ABOUTWINDOW_H

#include <QDialog>

class aboutWindowForm;

class aboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit aboutWindow(QWidget *parent = nullptr);
    ~aboutWindow() override;

private:
    aboutWindowForm *ui;
};

#endif // ABOUTWINDOW_H
