// The viewer's command line: what it asks for, read without any window.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "protocol/panes.h"

#include <QString>
#include <QStringList>

struct CommandLine
{
    enum Action { Run, ShowHelp, ShowVersion, Fail };

    Action action = Run;
    int historyLimit = defaultHistoryLimit; // 0: no limit
    qint64 historyBytes = defaultHistoryBytes; // 0: no limit
    QString rulesFile; // the filter rules' file; empty for ~/.corvane/filters.json
    QString message; // the help, the version or the error, for Run none
};

// Reads the arguments, the program's name first, as QCoreApplication::arguments() gives them.
// Qt's own options (-style, -platform and the like) are accepted and otherwise ignored, for
// QApplication to take. Texts are translated, so the interface language must be installed
// first.
CommandLine parseCommandLine(const QStringList &arguments);

#endif // COMMANDLINE_H
