// The viewer's command line: what it asks for, read without any window.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "protocol/panes.h"
#include "record/timerange.h"

#include <QString>
#include <QStringList>

// The size a recording grows to before its oldest datagrams go.
constexpr qint64 defaultRecordLimit = qint64(1) << 30;

struct CommandLine
{
    enum Action { Run, Export, ShowHelp, ShowVersion, Fail };

    Action action = Run;
    int historyLimit = defaultHistoryLimit; // 0: no limit
    qint64 historyBytes = defaultHistoryBytes; // 0: no limit
    QString rulesFile; // the filter rules' file; empty for ~/.corvane/filters.json
    QString message; // the help, the version or the error, for Run none
    QString recordPath; // --record: where every datagram is written, none when empty
    qint64 recordLimit = defaultRecordLimit; // 0: no limit
    QString openPath; // --open: a recording to show instead of listening
    QString exportPath; // --export (Export): a recording to write to stdout
    TimeRange range; // --from and --to of --open and --export
};

// Reads the arguments, the program's name first, as QCoreApplication::arguments() gives them.
// Qt's own options (-style, -platform and the like) are accepted and otherwise ignored, for
// QApplication to take. Texts are translated, so the interface language must be installed
// first.
CommandLine parseCommandLine(const QStringList &arguments);

#endif // COMMANDLINE_H
