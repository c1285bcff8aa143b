// Tests of the About box.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutbox.h"
#include "window/aboutwindow.h"
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

// The About box, built on its own and opened from the main window the way a user opens it.
class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void treeAndTexts();
    void pageContent();
    void pageShowsTheImage();
    void everyOpeningIsAFreshBox();
    void closes_data();
    void closes();
    void datagramsArriveBehindTheBox();
};

void AboutWindowTest::treeAndTexts()
{
    aboutWindow about;
    QCOMPARE(about.objectName(), QStringLiteral("aboutWindow"));
    QCOMPARE(about.size(), QSize(507, 353));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Corvane"));
    QVERIFY(!about.windowIcon().pixmap(128, 128).isNull());

    auto *verticalLayout = qobject_cast<QVBoxLayout *>(about.layout());
    QVERIFY(verticalLayout);
    QCOMPARE(verticalLayout->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(verticalLayout->count(), 2);

    auto *page = qobject_cast<QLabel *>(verticalLayout->itemAt(0)->widget());
    QVERIFY(page);
    QCOMPARE(page->objectName(), QStringLiteral("label_8"));
    QVERIFY(page->openExternalLinks());

    auto *horizontalLayout = qobject_cast<QHBoxLayout *>(verticalLayout->itemAt(1)->layout());
    QVERIFY(horizontalLayout);
    QCOMPARE(horizontalLayout->objectName(), QStringLiteral("horizontalLayout"));
    QCOMPARE(horizontalLayout->count(), 2);
    // The spacer pushes the button to the right edge.
    QSpacerItem *spacer = horizontalLayout->itemAt(0)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), QSize(40, 20));
    QCOMPARE(spacer->expandingDirections(), Qt::Horizontal);

    auto *close = qobject_cast<QPushButton *>(horizontalLayout->itemAt(1)->widget());
    QVERIFY(close);
    QCOMPARE(close->objectName(), QStringLiteral("uiCloseButton"));
    QCOMPARE(close->text(), QStringLiteral("Close"));

    // Nothing else lives in the box.
    const QList<QWidget *> widgets = about.findChildren<QWidget *>();
    QCOMPARE(widgets.size(), 2);
}

void AboutWindowTest::pageContent()
{
    aboutWindow about;
    const QString html = about.findChild<QLabel *>(QStringLiteral("label_8"))->text();
    QVERIFY(html.startsWith(QLatin1String("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\"")));
    QVERIFY(html.contains(QLatin1String("<meta name=\"qrichtext\" content=\"1\" />")));
    QVERIFY(html.contains(QLatin1String("p, li { white-space: pre-wrap; }")));
    QVERIFY(html.contains(
        QLatin1String("<body style=\" font-family:'Sans Serif'; font-size:9pt; font-weight:400; "
                      "font-style:normal;\">")));
    QCOMPARE(html.count(QLatin1String("<table")), 1);
    QVERIFY(html.contains(QLatin1String("-qt-table-type: root; margin-top:4px; "
                                        "margin-bottom:4px; margin-left:4px; margin-right:4px;")));

    QTextDocument document;
    document.setHtml(html);
    const QStringList paragraphs = {
        QStringLiteral("\uFFFC"), // the image
        QStringLiteral("Corvane"),
        QStringLiteral("https://corvane.example.org"),
        QStringLiteral("v1.0"),
        QString(),
        QStringLiteral("Code - Nadia Corvo (nadia.corvo@example.org)"),
        QString(),
        QStringLiteral("Dedicated to everyone who ever found a bug by reading a log."),
        QString(),
        QStringLiteral("This software is free as in free beer and free speech."),
        QString(),
        QStringLiteral("If you find this program useful please consider making a donation."),
    };
    QCOMPARE(document.blockCount(), paragraphs.size());

    QStringList links;
    QString image;
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        QCOMPARE(block.text(), paragraphs.at(index));
        QCOMPARE(block.blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(block.blockFormat().topMargin(), 0.0);
        QCOMPARE(block.blockFormat().bottomMargin(), 0.0);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                image = format.toImageFormat().name();
                continue;
            }
            const QString href = format.anchorHref();
            if (!href.isEmpty()) {
                links.append(href);
                QVERIFY(format.fontUnderline());
                QCOMPARE(format.foreground().color(), QColor(0, 0, 255));
            }
            // The donation link's words take the page's own font; all else is Ubuntu 10 pt.
            const bool donation = href.endsWith(QLatin1String("/donate"));
            QCOMPARE(format.font().family(),
                     donation ? QStringLiteral("Sans Serif") : QStringLiteral("Ubuntu"));
            QCOMPARE(format.fontPointSize(), donation ? 9.0 : 10.0);
            QCOMPARE(format.fontWeight() > QFont::Normal, it.fragment().text() == "Corvane");
        }
    }
    QCOMPARE(image, QStringLiteral(":/corvane/Resources/about.jpg"));
    QCOMPARE(links,
             QStringList({"https://corvane.example.org/", "mailto:nadia.corvo@example.org",
                          "https://corvane.example.org/donate"}));
}

void AboutWindowTest::pageShowsTheImage()
{
    aboutWindow about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QImage shot = about.findChild<QLabel *>(QStringLiteral("label_8"))->grab().toImage();
    // The about picture is a dark blue pane: count its pixels, which neither the light
    // dialog nor black or blue text can produce in such numbers.
    int picture = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            picture += pixel.red() < 40 && pixel.blue() > pixel.red() + 8 && pixel.blue() < 80;
        }
    }
    QVERIFY2(picture > 6000, qPrintable(QString::number(picture)));
}

void AboutWindowTest::everyOpeningIsAFreshBox()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *about = window.findChild<QAction *>(QStringLiteral("action_About"));
    QVERIFY(about);

    QPointer<QDialog> first;
    QSize firstSize;
    const bool shown =
        withAboutBox([&] { about->trigger(); },
                     [&](QDialog *dialog) {
                         first = dialog;
                         firstSize = dialog->size();
                         QVERIFY(dialog->inherits("aboutWindow"));
                         QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
                         QVERIFY(dialog->isWindow());
                         dialog->resize(800, 600);
                         dialog->findChild<QPushButton *>(QStringLiteral("uiCloseButton"))->click();
                     });
    QVERIFY(shown);
    QVERIFY2(first.isNull(), "the box outlives its opening");
    // Laid out with the fonts at hand, the page may need a little more than the box's own
    // 507 x 353; it never gets less.
    QVERIFY(firstSize.width() >= 507 && firstSize.height() >= 353);

    // The help key opens it again, at its own size rather than the one the user left.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSize secondSize;
    QVERIFY(
        withAboutBox([&] { QTest::keySequence(&window, QKeySequence(QKeySequence::HelpContents)); },
                     [&](QDialog *dialog) { secondSize = dialog->size(); }));
    QCOMPARE(secondSize, firstSize);
}

void AboutWindowTest::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("Escape key") << "escape";
    QTest::newRow("window's close control") << "control";
}

void AboutWindowTest::closes()
{
    QFETCH(QString, how);
    TestHome home;
    home.useFreePort();
    MainWindow window;
    window.show();
    auto *about = window.findChild<QAction *>(QStringLiteral("action_About"));

    QPointer<QDialog> box;
    bool hidden = false;
    QVERIFY(withAboutBox(
        [&] { about->trigger(); },
        [&](QDialog *dialog) {
            box = dialog;
            if (how == QLatin1String("button")) {
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("uiCloseButton")),
                                  Qt::LeftButton);
            } else if (how == QLatin1String("escape")) {
                QWidget *focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
                QTest::keyClick(focus, Qt::Key_Escape);
            } else {
                // What the window system sends when the user clicks the title bar's close button.
                QCloseEvent event;
                QApplication::sendEvent(dialog, &event);
            }
            hidden = !dialog->isVisible();
        }));
    QVERIFY(hidden);
    QVERIFY(box.isNull());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void AboutWindowTest::datagramsArriveBehindTheBox()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();
    auto *about = window.findChild<QAction *>(QStringLiteral("action_About"));
    auto *log2 = window.findChild<QTextEdit *>(QStringLiteral("uiLog2"));

    bool arrived = false;
    QVERIFY(withAboutBox(
        [&] { about->trigger(); },
        [&](QDialog *) {
            if (!sendDatagram(port, message({"A", "B", "C", "D"}, {}, "behind the box")))
                return;
            arrived = QTest::qWaitFor(
                [&] { return log2->toPlainText() == QLatin1String("behind the box"); }, 5000);
        }));
    QVERIFY(arrived);
}

QTEST_MAIN(AboutWindowTest)
#include "tst_aboutwindow.moc"
