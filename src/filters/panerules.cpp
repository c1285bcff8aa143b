// Ties the rule set to its file, the panes, and the places where rules are made.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/panerules.h"

#include "filters/rulesdialog.h"
#include "filters/ruleset.h"
#include "panes/logpane.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>

PaneRules::PaneRules(const QString &path, const std::array<LogPane *, paneCount> &panes,
                     QTabWidget *tabs, std::function<QStringList()> paneNames, QWidget *window)
    : QObject(window),
      rules(new RuleSet(this)),
      file(path.isEmpty() ? defaultPath() : path),
      panes(panes),
      tabs(tabs),
      paneNames(std::move(paneNames)),
      window(window)
{
    const RulesRead read = file.read();
    // There is no window yet to say it in.
    if (!read.fault.isEmpty())
        qWarning("corvane: %s", qUtf8Printable(read.fault));
    rules->setRules(read.rules);

    connect(rules, &RuleSet::matchingChanged, this, &PaneRules::matchAgain);
    connect(rules, &RuleSet::verdictsChanged, this, &PaneRules::showAgain);
    connect(rules, &RuleSet::rulesEdited, this, &PaneRules::save);
    for (int pane = 0; pane < paneCount; ++pane) {
        connect(panes[size_t(pane)], &LogPane::contextMenuMade, this,
                [this, pane](QMenu *menu) { addSelectionRules(pane, menu); });
        connect(panes[size_t(pane)], &LogPane::hiddenCountChanged, this,
                &PaneRules::announceHidden);
    }
    connect(tabs, &QTabWidget::currentChanged, this, &PaneRules::announceHidden);
    typing.setSingleShot(true);
    typing.setInterval(200);
    connect(&typing, &QTimer::timeout, this, &PaneRules::applyFindFilter);
}

QString PaneRules::defaultPath()
{
    return QDir::homePath() + QLatin1String("/.corvane/filters.json");
}

void PaneRules::matchAgain(quint64 ruleSlots, int paneBits)
{
    for (int pane = 0; pane < paneCount; ++pane) {
        if (!(paneBits & (1 << pane)))
            continue;
        panes[size_t(pane)]->updateMatches([this, pane, ruleSlots](KeptText &kept) {
            kept.ruleMatches =
                (kept.ruleMatches & ~ruleSlots) | rules->match(kept.text, pane, ruleSlots);
        });
        panes[size_t(pane)]->refresh();
    }
}

void PaneRules::showAgain(int paneBits)
{
    for (int pane = 0; pane < paneCount; ++pane) {
        if (paneBits & (1 << pane))
            panes[size_t(pane)]->refresh();
    }
}

void PaneRules::save()
{
    const QString error = file.write(rules->rules());
    if (!error.isEmpty()) {
        qWarning("corvane: %s",
                 qUtf8Printable(tr("the filter rules could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(file.path()), error)));
    }
}

void PaneRules::openDialog()
{
    if (!dialog) {
        dialog = new RulesDialog(rules, paneNames(), window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void PaneRules::setFindFilter(int pane, const QString &text, bool caseSensitive)
{
    typedFilter = {pane, text, caseSensitive};
    // Each change of the text would show a full pane anew: while it is typed, once it pauses.
    // Switched on, off, or to another pane, at once.
    if (pane >= 0 && pane == rules->findFilterPane()) {
        typing.start();
    } else {
        typing.stop();
        applyFindFilter();
    }
}

void PaneRules::applyFindFilter()
{
    rules->setFindFilter(typedFilter.pane, typedFilter.text, typedFilter.caseSensitive);
}

void PaneRules::addSelectionRules(int pane, QMenu *menu)
{
    // A rule matches within one text: the selection's first line is the pattern.
    const QString selected = panes[size_t(pane)]->view()->textCursor().selectedText();
    QString pattern;
    for (const QString &line :
         selected.split(QRegularExpression(QStringLiteral("[\\n\\x{2028}\\x{2029}]")))) {
        if (!line.trimmed().isEmpty()) {
            pattern = line;
            break;
        }
    }
    if (pattern.isEmpty())
        return;
    menu->addSeparator();
    const struct
    {
        FilterRule::Action action;
        QString text;
        const char *name;
    } entries[] = {
        {FilterRule::Hide, tr("Hide texts like this"), "actionHideLikeThis"},
        {FilterRule::Show, tr("Show only texts like this"), "actionShowLikeThis"},
        {FilterRule::Highlight, tr("Highlight texts like this"), "actionHighlightLikeThis"}};
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setEnabled(!rules->isFull());
        FilterRule rule;
        rule.action = entry.action;
        rule.pattern = pattern;
        rule.caseSensitive = true;
        rule.panes = 1 << pane;
        if (rule.action == FilterRule::Highlight)
            rule.background = nextHighlightColour();
        connect(action, &QAction::triggered, rules, [this, rule] { rules->append(rule); });
    }
}

QColor PaneRules::nextHighlightColour() const
{
    // Each new highlight in a colour of its own, as long as the palette lasts.
    int highlights = 0;
    for (int i = 0; i < rules->count(); ++i)
        highlights += rules->rule(i).action == FilterRule::Highlight;
    const QVector<HighlightColour> palette = highlightPalette();
    return palette.at(highlights % palette.size()).background;
}

void PaneRules::announceHidden()
{
    const int shown = qBound(0, tabs->currentIndex(), paneCount - 1);
    emit shownPaneHides(panes[size_t(shown)]->hiddenCount());
}
