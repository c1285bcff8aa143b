// Starts the viewer: the application, the interface language, the options and the main window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"
#include "app/memoryreuse.h"
#include "app/qtcompat.h"
#include "app/translation.h"
#include "record/recordexport.h"
#include "record/recordingview.h"
#include "window/mainwindow.h"

#include <QApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include "app/unixsignals.h"
#endif

int main(int argc, char *argv[])
{
    keepFreedMemoryForReuse();
    corvane::keepQt5Scaling(); // before the application object reads the environment

    // The options are read before anything needs a display, so that the help, the version and
    // a wrong option answer without one, and before any window is built, so that a wrong one
    // changes nothing.
    CommandLine options;
    {
        QCoreApplication reader(argc, argv);
        installInterfaceTranslator();
        options = parseCommandLine(QCoreApplication::arguments());
    }
    switch (options.action) {
    case CommandLine::ShowHelp:
    case CommandLine::ShowVersion:
        std::fputs(qUtf8Printable(options.message), stdout);
        return 0;
    case CommandLine::Fail:
        std::fprintf(stderr, "%s\n", qUtf8Printable(options.message));
        return 2;
    case CommandLine::Export: {
        // No window, no display: the recording goes to stdout for jq and friends.
        QString error;
        if (!exportRecording(options.exportPath, options.range, stdout, &error)) {
            std::fprintf(stderr, "corvane: %s: %s\n", qUtf8Printable(options.exportPath),
                         qUtf8Printable(error));
            return 1;
        }
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    case CommandLine::Run:
        break;
    }
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
        const bool opens = !options.openPath.isEmpty();
        MainWindow window(nullptr, options.rulesFile,
                          opens ? MainWindow::Source::Recording : MainWindow::Source::Socket);
        window.setHistoryLimit(options.historyLimit);
        window.setHistorySize(options.historyBytes);
        if (opens) {
            QString error;
            if (!showRecording(window, options.openPath, options.range, options.historyLimit,
                               &error)) {
                std::fprintf(stderr, "corvane: %s: %s\n", qUtf8Printable(options.openPath),
                             qUtf8Printable(error));
                return 1;
            }
        }
        if (!options.recordPath.isEmpty())
            window.record(options.recordPath, options.recordLimit);
        window.show();
        result = application.exec();
    } // the window writes its settings here, while the application object still exists
    return result;
}
