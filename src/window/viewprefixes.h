// The View menu's "Show times", "Time since previous" and "Show senders", kept across runs.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef VIEWPREFIXES_H
#define VIEWPREFIXES_H

#include "files/viewfile.h"

#include <QObject>

class QAction;
class QMenu;

// Adds the three checkable actions to a menu, set as the file at `path` says, and writes the
// file anew whenever one is switched. "Show times" and "Time since previous" exclude each other.
class ViewPrefixes : public QObject
{
    Q_OBJECT

public:
    ViewPrefixes(QMenu *menu, const QString &path, QObject *parent = nullptr);

    ViewChoices choices() const { return current; }

signals:
    void choicesChanged(const ViewChoices &choices);

private:
    QAction *addChoice(QMenu *menu, const QString &text, const char *name, bool checked);
    void switched(QAction *action, bool checked);

    QString path;
    ViewChoices current;
    QAction *times;
    QAction *sincePrevious;
    QAction *senders;
};

#endif // VIEWPREFIXES_H
