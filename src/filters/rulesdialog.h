// "Filters and highlights": the rules as an ordered table that the user edits in place.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULESDIALOG_H
#define RULESDIALOG_H

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;
class RuleSet;
struct FilterRule;

// Every edit goes to the rule set at once, so the panes show it while the dialog is open; a
// pattern when its field is left or Enter is pressed. A pattern that cannot be applied says
// why in the row, as it is typed.
class RulesDialog : public QDialog
{
    Q_OBJECT

public:
    // The panes by the names their tabs show.
    RulesDialog(RuleSet *rules, const QStringList &paneNames, QWidget *parent = nullptr);

    enum Column {
        OnColumn,
        KindColumn,
        PatternColumn,
        RegexColumn,
        CaseColumn,
        PanesColumn,
        ColourColumn,
        ErrorColumn,
        ColumnCount
    };

private:
    void showRules();
    void fillRow(int row);
    void edit(int row, const std::function<void(FilterRule &)> &change);
    void showError(int row, const QString &pattern);
    void addRule();
    void removeRule();
    void moveRule(int by);
    void showButtons();
    int selectedRow() const;
    bool eventFilter(QObject *watched, QEvent *event) override;

    RuleSet *rules;
    QStringList paneNames;
    QTableWidget *table;
    QPushButton *removeButton;
    QPushButton *upButton;
    QPushButton *downButton;
    QPushButton *addButton;
    QLabel *fullLabel;
    // Set while the dialog's own edit goes to the rule set, which then needs no new table.
    bool editing = false;
};

#endif // RULESDIALOG_H
