// The About box: builds its form and closes on its button.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/aboutwindow.h"

#include "window/aboutwindowform.h"

#include <QPushButton>

aboutWindow::aboutWindow(QWidget *parent) : QDialog(parent), ui(new aboutWindowForm)
{
    ui->setupUi(this);
    connect(ui->uiCloseButton, SIGNAL(clicked()), this, SLOT(close()));
}

aboutWindow::~aboutWindow()
{
    delete ui;
}
