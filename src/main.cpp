// corvane: starts the viewer's window and runs it until it is closed.
#include "mainwindow.h"
#include "translation.h"

#include <QApplication>

#ifdef Q_OS_UNIX
#include "unixsignals.h"
#endif

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    installInterfaceTranslator();

#ifdef Q_OS_UNIX
    // Ctrl+C in the terminal, kill and a closed terminal close the windows as File, Exit does
    // (an open About box first), so the settings are written below and the exit status is 0.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::received, &application,
                     &QApplication::closeAllWindows);
#endif

    int result;
    {
        MainWindow window;
        window.show();
        result = application.exec();
    } // the window writes its settings here, while the application object still exists
    return result;
}
