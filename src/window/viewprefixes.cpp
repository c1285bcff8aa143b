// Three checkable actions whose state is the View file's, saved as soon as it changes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/viewprefixes.h"

#include <QAction>
#include <QDir>
#include <QMenu>

ViewPrefixes::ViewPrefixes(QMenu *menu, const QString &path, QObject *parent)
    : QObject(parent), path(path), current(readViewFile(path))
{
    menu->addSeparator();
    times = addChoice(menu, tr("Show times"), "actionShowTimes", current.times);
    sincePrevious = addChoice(menu, tr("Time since previous"), "actionTimeSincePrevious",
                              current.sincePrevious);
    senders = addChoice(menu, tr("Show senders"), "actionShowSenders", current.senders);
}

QAction *ViewPrefixes::addChoice(QMenu *menu, const QString &text, const char *name, bool checked)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(checked);
    connect(action, &QAction::toggled, this, [this, action](bool on) { switched(action, on); });
    return action;
}

void ViewPrefixes::switched(QAction *action, bool checked)
{
    // Unchecking the other of the two times comes back here, and changes nothing more.
    if (checked && action == times)
        sincePrevious->setChecked(false);
    else if (checked && action == sincePrevious)
        times->setChecked(false);
    ViewChoices choices;
    choices.times = times->isChecked();
    choices.sincePrevious = sincePrevious->isChecked();
    choices.senders = senders->isChecked();
    if (choices == current)
        return;
    current = choices;
    const QString error = writeViewFile(path, current);
    if (!error.isEmpty()) {
        qWarning("corvane: %s",
                 qUtf8Printable(tr("the view could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(path), error)));
    }
    emit choicesChanged(current);
}
