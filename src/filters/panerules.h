// The filter rules at work in the window: read and saved, applied to the panes, and made from
// the dialog, a pane's context menu and the find bar.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PANERULES_H
#define PANERULES_H

#include "filters/rulesfile.h"
#include "protocol/panes.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class LogPane;
class QMenu;
class QTabWidget;
class RuleSet;
class RulesDialog;

class PaneRules : public QObject
{
    Q_OBJECT

public:
    // Reads the rules from `path` (with a line on the terminal when it cannot), and saves them
    // there whenever they change. `paneNames` gives the panes' captions for the dialog.
    PaneRules(const QString &path, const std::array<LogPane *, paneCount> &panes, QTabWidget *tabs,
              std::function<QStringList()> paneNames, QWidget *window);

    RuleSet *ruleSet() const { return rules; }
    // ~/.corvane/filters.json.
    static QString defaultPath();

public slots:
    void openDialog();
    // See RuleSet::setFindFilter.
    void setFindFilter(int pane, const QString &text, bool caseSensitive);

signals:
    // How many texts the pane on show hides, whenever that may have changed.
    void shownPaneHides(int hidden);

private:
    void matchAgain(quint64 ruleSlots, int panes);
    void showAgain(int panes);
    void save();
    void addSelectionRules(int pane, QMenu *menu);
    void announceHidden();
    void applyFindFilter();
    QColor nextHighlightColour() const;

    RuleSet *rules;
    RulesFile file;
    std::array<LogPane *, paneCount> panes;
    QTabWidget *tabs;
    std::function<QStringList()> paneNames;
    QWidget *window;
    QPointer<RulesDialog> dialog;
    // The find bar's filter while it is typed, put in place once typing pauses.
    struct FindFilter
    {
        int pane = -1;
        QString text;
        bool caseSensitive = false;
    } typedFilter;
    QTimer typing;
};

#endif // PANERULES_H
