// Arbitrary bytes as one received datagram, into a real window that is shown, painted and
// cleared now and then, exactly as the socket drain hands datagrams over.

#include "mainwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>

#include <cstddef>
#include <cstdint>

namespace {

MainWindow *window = nullptr;
QPushButton *clearNow = nullptr;
QTabWidget *tabs = nullptr;
quint64 handled = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The fuzzer's own options are no business of the application object.
    static int argc = 1;
    static char name[] = "fuzz_datagram";
    static char *argv[] = {name, nullptr};
    // Never destroyed: Qt tears down its own state at exit, after statics would be gone.
    new QApplication(argc, argv);
    static TestHome home;
    home.useFreePort();

    window = new MainWindow;
    window->show();
    clearNow = window->findChild<QPushButton *>(QStringLiteral("uiClearNow"));
    tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    if (!clearNow || !tabs)
        qFatal("the window lacks its Clear now button or its tabs");
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray payload(reinterpret_cast<const char *>(data), int(size));
    window->processDatagrams({payload});

    // Look at every pane in turn, so that each one is laid out and painted, and empty them
    // from time to time, as a user would, so memory stays bounded over a long run.
    ++handled;
    tabs->setCurrentIndex(int(handled % 4));
    if (handled % 16 == 0)
        clearNow->click();
    QCoreApplication::processEvents();
    return 0;
}
