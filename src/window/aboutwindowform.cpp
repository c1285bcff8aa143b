// Builds the About box's widget tree and sets its translated texts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/aboutwindowform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

void aboutWindowForm::setupUi(QDialog *aboutWindow)
{
    if (aboutWindow->objectName().isEmpty())
        aboutWindow->setObjectName(QStringLiteral("aboutWindow"));
    aboutWindow->resize(507, 353);
    QIcon icon;
    icon.addFile(QStringLiteral(":/corvane/Resources/about.jpg"), QSize(), QIcon::Normal,
                 QIcon::Off);
    aboutWindow->setWindowIcon(icon);
    verticalLayout = new QVBoxLayout(aboutWindow);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    label_8 = new QLabel(aboutWindow);
    label_8->setObjectName(QStringLiteral("label_8"));
    label_8->setOpenExternalLinks(true);
    verticalLayout->addWidget(label_8);
    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    horizontalLayout->addItem(horizontalSpacer);
    uiCloseButton = new QPushButton(aboutWindow);
    uiCloseButton->setObjectName(QStringLiteral("uiCloseButton"));
    horizontalLayout->addWidget(uiCloseButton);
    verticalLayout->addLayout(horizontalLayout);

    retranslateUi(aboutWindow);

    QMetaObject::connectSlotsByName(aboutWindow);
}

void aboutWindowForm::retranslateUi(QDialog *aboutWindow)
{
    aboutWindow->setWindowTitle(QCoreApplication::translate("aboutWindow", "About Corvane"));
    // The page is the whole key of its translation: after any change to it, refresh
    // resources/corvane_es.ts with the corvane_update_translations target and translate the
    // page again, or the page stays in English in every language.
    label_8->setText(QCoreApplication::translate(
        "aboutWindow",
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
        "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
        "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
        "p, li { white-space: pre-wrap; }\n"
        "</style></head><body style=\" font-family:'Sans Serif'; font-size:9pt; "
        "font-weight:400; font-style:normal;\">\n"
        "<table border=\"0\" style=\"-qt-table-type: root; margin-top:4px; "
        "margin-bottom:4px; margin-left:4px; margin-right:4px;\">\n"
        "<tr>\n"
        "<td style=\"border: none;\">\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><img "
        "src=\":/corvane/Resources/about.jpg\" /></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt; font-weight:600;\">Corvane</span></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><a "
        "href=\"https://corvane.example.org/\"><span style=\" font-family:'Ubuntu'; "
        "font-size:10pt; text-decoration: underline; "
        "color:#0000ff;\">https://corvane.example.org</span></a></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">v1.0</span></p>\n"
        "<p align=\"center\" style=\"-qt-paragraph-type:empty; margin-top:0px; "
        "margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
        "text-indent:0px; font-family:'Ubuntu'; font-size:10pt;\"><br /></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">Code - Nadia Corvo (</span><a "
        "href=\"mailto:nadia.corvo@example.org\"><span style=\" font-family:'Ubuntu'; "
        "font-size:10pt; text-decoration: underline; "
        "color:#0000ff;\">nadia.corvo@example.org</span></a><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">)</span></p>\n"
        "<p align=\"center\" style=\"-qt-paragraph-type:empty; margin-top:0px; "
        "margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
        "text-indent:0px; font-family:'Ubuntu'; font-size:10pt;\"><br /></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">Dedicated to everyone who ever found a bug "
        "by reading a log.</span></p>\n"
        "<p align=\"center\" style=\"-qt-paragraph-type:empty; margin-top:0px; "
        "margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
        "text-indent:0px; font-family:'Ubuntu'; font-size:10pt;\"><br /></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">This software is free as in free beer and "
        "free speech.</span></p>\n"
        "<p align=\"center\" style=\"-qt-paragraph-type:empty; margin-top:0px; "
        "margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
        "text-indent:0px; font-family:'Ubuntu'; font-size:10pt;\"><br /></p>\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
        "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><span style=\" "
        "font-family:'Ubuntu'; font-size:10pt;\">If you find this program useful please "
        "consider </span><a href=\"https://corvane.example.org/donate\"><span style=\" "
        "text-decoration: underline; color:#0000ff;\">making a donation</span></a><span "
        "style=\" font-family:'Ubuntu'; "
        "font-size:10pt;\">.</span></p></td></tr></table></body></html>"));
    uiCloseButton->setText(QCoreApplication::translate("aboutWindow", "Close"));
}
