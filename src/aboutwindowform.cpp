#include "aboutwindowform.h"

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
    // The page is filled in with the About dialog's content.
    label_8->setText(QString());
    uiCloseButton->setText(QCoreApplication::translate("aboutWindow", "Close"));
}
