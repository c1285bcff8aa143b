// The main window's widget tree, as a form object of plain pointers.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOWFORM_H
#define MAINWINDOWFORM_H

class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QSpacerItem;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class QVBoxLayout;
class QWidget;

// The main window's widget tree. The pointers do not own anything: the widgets belong to the
// window through Qt's parent-child tree and the spacers to their layouts.
class MainWindowForm
{
public:
    QAction *action_About;
    QAction *actionE_xit;
    QWidget *centralWidget;
    QVBoxLayout *verticalLayout;
    QHBoxLayout *horizontalLayout;
    QLabel *label;
    QLineEdit *uiServerIp;
    QLabel *label_2;
    QSpinBox *uiServerPort;
    QPushButton *uiRestart;
    QSpacerItem *horizontalSpacer;
    QCheckBox *uiTimeoutEnabled;
    QSpinBox *uiTimeoutValue;
    QPushButton *uiClearNow;
    QTabWidget *tabWidget;
    QWidget *tab;
    QVBoxLayout *verticalLayout_2;
    QTextEdit *uiLog1;
    QWidget *tab_2;
    QVBoxLayout *verticalLayout_3;
    QTextEdit *uiLog2;
    QWidget *tab_3;
    QVBoxLayout *verticalLayout_4;
    QTextEdit *uiLog3;
    QWidget *tab_4;
    QVBoxLayout *verticalLayout_5;
    QTextEdit *uiLog4;
    QHBoxLayout *horizontalLayout_2;
    QLabel *uiStatusIcon;
    QLabel *uiStatusText;
    QSpacerItem *horizontalSpacer_2;
    QMenuBar *menuBar;
    QMenu *menuFile;

    void setupUi(QMainWindow *MainWindow);
    void retranslateUi(QMainWindow *MainWindow);
};

#endif // MAINWINDOWFORM_H
