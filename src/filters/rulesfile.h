// The rules file, ~/.corvane/filters.json unless --filters names another: reading, writing,
// and keeping a file that could not be read.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULESFILE_H
#define RULESFILE_H

#include "filters/filterrule.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// What a rules file holds: the rules it could read, and what was wrong with it, if anything
// (the first fault, translated). A missing file holds no rules and no fault.
struct RulesRead
{
    QVector<FilterRule> rules;
    QString fault;
};

// Reads the JSON of a rules file. Members it does not know are ignored; a rule it cannot read
// is left out, and the first such fault reported.
RulesRead rulesFromJson(const QByteArray &json);
// The JSON of the rules, one rule a line.
QByteArray rulesToJson(const QVector<FilterRule> &rules);

// One rules file on disk. A file that could not be read, or held faults, is left as it is
// until the rules change; the first save then moves it aside to "<name>.bad", so that nothing
// the user wrote is lost.
class RulesFile
{
public:
    explicit RulesFile(const QString &path) : filePath(path) { }

    QString path() const { return filePath; }
    // Reads the file; the fault names the file, ready for the terminal.
    RulesRead read();
    // Writes the rules in one step. Returns an empty string, or the reason it failed.
    QString write(const QVector<FilterRule> &rules);

private:
    QString filePath;
    bool keepAside = false;
};

#endif // RULESFILE_H
