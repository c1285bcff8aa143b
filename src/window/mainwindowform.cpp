// Builds the main window's widget tree and sets its translated texts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindowform.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// One log page: a tab page whose whole area is taken by a text edit.
QWidget *createLogPage(const char *pageName, const char *layoutName, const char *logName,
                       QVBoxLayout **layout, QTextEdit **log)
{
    auto *page = new QWidget();
    page->setObjectName(QString::fromLatin1(pageName));
    *layout = new QVBoxLayout(page);
    (*layout)->setSpacing(6);
    (*layout)->setContentsMargins(11, 11, 11, 11);
    (*layout)->setObjectName(QString::fromLatin1(layoutName));
    *log = new QTextEdit(page);
    (*log)->setObjectName(QString::fromLatin1(logName));
    (*layout)->addWidget(*log);
    return page;
}

} // namespace

void MainWindowForm::setupUi(QMainWindow *MainWindow)
{
    if (MainWindow->objectName().isEmpty())
        MainWindow->setObjectName(QStringLiteral("MainWindow"));
    MainWindow->resize(762, 525);
    QIcon icon;
    icon.addFile(QStringLiteral(":/corvane/Resources/about.jpg"), QSize(), QIcon::Normal,
                 QIcon::Off);
    MainWindow->setWindowIcon(icon);

    action_About = new QAction(MainWindow);
    action_About->setObjectName(QStringLiteral("action_About"));
    actionE_xit = new QAction(MainWindow);
    actionE_xit->setObjectName(QStringLiteral("actionE_xit"));

    centralWidget = new QWidget(MainWindow);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    verticalLayout = new QVBoxLayout(centralWidget);
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(11, 11, 11, 11);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setSpacing(6);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    label = new QLabel(centralWidget);
    label->setObjectName(QStringLiteral("label"));
    horizontalLayout->addWidget(label);
    uiServerIp = new QLineEdit(centralWidget);
    uiServerIp->setObjectName(QStringLiteral("uiServerIp"));
    uiServerIp->setMaximumSize(QSize(135, 16777215));
    horizontalLayout->addWidget(uiServerIp);
    label_2 = new QLabel(centralWidget);
    label_2->setObjectName(QStringLiteral("label_2"));
    horizontalLayout->addWidget(label_2);
    uiServerPort = new QSpinBox(centralWidget);
    uiServerPort->setObjectName(QStringLiteral("uiServerPort"));
    uiServerPort->setMinimumSize(QSize(0, 0));
    uiServerPort->setMaximum(65535);
    horizontalLayout->addWidget(uiServerPort);
    uiRestart = new QPushButton(centralWidget);
    uiRestart->setObjectName(QStringLiteral("uiRestart"));
    horizontalLayout->addWidget(uiRestart);
    horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    horizontalLayout->addItem(horizontalSpacer);
    uiTimeoutEnabled = new QCheckBox(centralWidget);
    uiTimeoutEnabled->setObjectName(QStringLiteral("uiTimeoutEnabled"));
    horizontalLayout->addWidget(uiTimeoutEnabled);
    uiTimeoutValue = new QSpinBox(centralWidget);
    uiTimeoutValue->setObjectName(QStringLiteral("uiTimeoutValue"));
    uiTimeoutValue->setMinimum(1);
    horizontalLayout->addWidget(uiTimeoutValue);
    uiClearNow = new QPushButton(centralWidget);
    uiClearNow->setObjectName(QStringLiteral("uiClearNow"));
    horizontalLayout->addWidget(uiClearNow);
    verticalLayout->addLayout(horizontalLayout);

    tabWidget = new QTabWidget(centralWidget);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    tab = createLogPage("tab", "verticalLayout_2", "uiLog1", &verticalLayout_2, &uiLog1);
    tabWidget->addTab(tab, QString());
    tab_2 = createLogPage("tab_2", "verticalLayout_3", "uiLog2", &verticalLayout_3, &uiLog2);
    tabWidget->addTab(tab_2, QString());
    tab_3 = createLogPage("tab_3", "verticalLayout_4", "uiLog3", &verticalLayout_4, &uiLog3);
    tabWidget->addTab(tab_3, QString());
    tab_4 = createLogPage("tab_4", "verticalLayout_5", "uiLog4", &verticalLayout_5, &uiLog4);
    tabWidget->addTab(tab_4, QString());
    verticalLayout->addWidget(tabWidget);

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setSpacing(6);
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    uiStatusIcon = new QLabel(centralWidget);
    uiStatusIcon->setObjectName(QStringLiteral("uiStatusIcon"));
    uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledGreen.png")));
    horizontalLayout_2->addWidget(uiStatusIcon);
    uiStatusText = new QLabel(centralWidget);
    uiStatusText->setObjectName(QStringLiteral("uiStatusText"));
    horizontalLayout_2->addWidget(uiStatusText);
    horizontalSpacer_2 = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    horizontalLayout_2->addItem(horizontalSpacer_2);
    verticalLayout->addLayout(horizontalLayout_2);

    MainWindow->setCentralWidget(centralWidget);
    menuBar = new QMenuBar(MainWindow);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setGeometry(QRect(0, 0, 762, 20));
    menuFile = new QMenu(menuBar);
    menuFile->setObjectName(QStringLiteral("menuFile"));
    MainWindow->setMenuBar(menuBar);

    menuBar->addAction(menuFile->menuAction());
    menuFile->addAction(action_About);
    menuFile->addSeparator();
    menuFile->addAction(actionE_xit);

    retranslateUi(MainWindow);

    tabWidget->setCurrentIndex(0);

    QMetaObject::connectSlotsByName(MainWindow);
}

void MainWindowForm::retranslateUi(QMainWindow *MainWindow)
{
    MainWindow->setWindowTitle(QCoreApplication::translate("MainWindow", "Corvane"));
    action_About->setText(QCoreApplication::translate("MainWindow", "&About"));
    actionE_xit->setText(QCoreApplication::translate("MainWindow", "E&xit"));
    label->setText(QCoreApplication::translate("MainWindow", "Server"));
    label_2->setText(QCoreApplication::translate("MainWindow", "Port"));
    uiRestart->setText(QCoreApplication::translate("MainWindow", "Restart"));
    uiTimeoutEnabled->setText(QCoreApplication::translate("MainWindow", "Clear timeout"));
    uiClearNow->setText(QCoreApplication::translate("MainWindow", "Clear now"));
    tabWidget->setTabText(tabWidget->indexOf(tab),
                          QCoreApplication::translate("MainWindow", "Log 1"));
    tabWidget->setTabText(tabWidget->indexOf(tab_2),
                          QCoreApplication::translate("MainWindow", "Log 2"));
    tabWidget->setTabText(tabWidget->indexOf(tab_3),
                          QCoreApplication::translate("MainWindow", "Log 3"));
    tabWidget->setTabText(tabWidget->indexOf(tab_4),
                          QCoreApplication::translate("MainWindow", "Log 4"));
    uiStatusIcon->setText(QString());
    uiStatusText->setText(QCoreApplication::translate("MainWindow", "TextLabel"));
    menuFile->setTitle(QCoreApplication::translate("MainWindow", "File"));
}
