// The window on a screen of 192 dots per inch: one pixel a pixel, as on Qt 5.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "app/qtcompat.h"
#include "testsupport.h"

#include <QScreen>
#include <QtTest>

// Qt 6 would scale the window by two on such a screen, where Qt 5 does not: a window restored
// from the same settings would cover four times the pixels. The program starts as main() does.
class ScalingTest : public QObject
{
    Q_OBJECT

private slots:
    void windowKeepsItsPixels();
};

void ScalingTest::windowKeepsItsPixels()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // The screen that the test's screen-192dpi.json describes (Qt 5's offscreen platform has only
    // its own screen, and never scales).
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 192.0);
#endif
    TestHome home;
    home.useFreePort("windowX = 40\nwindowY = 30\nwindowW = 1200\nwindowH = 800\n");
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.devicePixelRatioF(), 1.0);
        QCOMPARE(window.geometry(), QRect(40, 30, 1200, 800));
    }
    const QByteArray written = home.readConfig();
    QVERIFY(written.contains("\nwindowX = 40\nwindowY = 30\nwindowW = 1200\nwindowH = 800\n"));
}

int main(int argc, char *argv[])
{
    corvane::keepQt5Scaling();
    QApplication application(argc, argv);
    ScalingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scaling.moc"
