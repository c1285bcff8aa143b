// The rules table: a row of widgets for each rule, and the buttons that add, remove and move.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/rulesdialog.h"

#include "filters/ruleset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    QPainter(&pixmap).drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

QString panesText(const FilterRule &rule)
{
    if (rule.panes == FilterRule::allPanes)
        return RulesDialog::tr("All");
    QStringList chosen;
    for (int pane = 0; pane < paneCount; ++pane) {
        if (rule.appliesTo(pane))
            chosen.append(QString::number(pane + 1));
    }
    return chosen.isEmpty() ? RulesDialog::tr("None") : chosen.join(QLatin1String(", "));
}

} // namespace

RulesDialog::RulesDialog(RuleSet *rules, const QStringList &paneNames, QWidget *parent)
    : QDialog(parent), rules(rules), paneNames(paneNames)
{
    setObjectName(QStringLiteral("rulesDialog"));
    setWindowTitle(tr("Filters and highlights"));
    auto *layout = new QVBoxLayout(this);
    table = new QTableWidget(0, ColumnCount, this);
    table->setObjectName(QStringLiteral("rulesTable"));
    table->setHorizontalHeaderLabels({tr("On"), tr("Kind"), tr("Pattern"), tr("Regular expression"),
                                      tr("Case sensitive"), tr("Panes"), tr("Colour"), QString()});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    // Each column as wide as its widgets and title; the pattern and what is wrong with it
    // share the rest.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(PatternColumn, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(ErrorColumn, QHeaderView::Stretch);
    layout->addWidget(table);

    auto *buttons = new QHBoxLayout;
    addButton = new QPushButton(tr("Add"), this);
    addButton->setObjectName(QStringLiteral("ruleAdd"));
    removeButton = new QPushButton(tr("Remove"), this);
    removeButton->setObjectName(QStringLiteral("ruleRemove"));
    upButton = new QPushButton(tr("Move up"), this);
    upButton->setObjectName(QStringLiteral("ruleUp"));
    downButton = new QPushButton(tr("Move down"), this);
    downButton->setObjectName(QStringLiteral("ruleDown"));
    for (QPushButton *button : {addButton, removeButton, upButton, downButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    fullLabel =
        new QLabel(tr("At most %1 rules: remove one to add another.").arg(RuleSet::maxRules), this);
    fullLabel->setObjectName(QStringLiteral("rulesFull"));
    buttons->addWidget(fullLabel);
    buttons->addStretch();
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(1100, 360);

    connect(addButton, &QPushButton::clicked, this, &RulesDialog::addRule);
    connect(removeButton, &QPushButton::clicked, this, &RulesDialog::removeRule);
    connect(upButton, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(downButton, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table, &QTableWidget::itemSelectionChanged, this, &RulesDialog::showButtons);
    // Rules made elsewhere (a pane's context menu) while the dialog is open.
    connect(rules, &RuleSet::rulesEdited, this, [this] {
        if (!editing)
            showRules();
    });
    showRules();
}

void RulesDialog::showRules()
{
    const int selected = selectedRow();
    table->setRowCount(0);
    table->setRowCount(rules->count());
    for (int row = 0; row < rules->count(); ++row)
        fillRow(row);
    if (selected >= 0 && selected < rules->count())
        table->selectRow(selected);
    showButtons();
}

void RulesDialog::fillRow(int row)
{
    const FilterRule &rule = rules->rule(row);
    auto place = [&](int column, QWidget *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setProperty("ruleRow", row);
        widget->installEventFilter(this);
        table->setCellWidget(row, column, widget);
    };

    auto *on = new QCheckBox(table);
    on->setChecked(rule.enabled);
    place(OnColumn, on, "ruleEnabled");
    connect(on, &QCheckBox::toggled, this,
            [this, row](bool checked) { edit(row, [&](FilterRule &r) { r.enabled = checked; }); });

    auto *kind = new QComboBox(table);
    kind->addItems({tr("Hide"), tr("Show only"), tr("Highlight")});
    kind->setCurrentIndex(rule.action);
    place(KindColumn, kind, "ruleKind");

    auto *pattern = new QLineEdit(rule.pattern, table);
    pattern->setPlaceholderText(tr("Text to match"));
    place(PatternColumn, pattern, "rulePattern");
    connect(pattern, &QLineEdit::textChanged, this,
            [this, row](const QString &text) { showError(row, text); });
    connect(pattern, &QLineEdit::editingFinished, this, [this, row, pattern] {
        edit(row, [&](FilterRule &r) { r.pattern = pattern->text(); });
    });

    auto *regex = new QCheckBox(table);
    regex->setChecked(rule.regex);
    place(RegexColumn, regex, "ruleRegex");
    connect(regex, &QCheckBox::toggled, this, [this, row, pattern](bool checked) {
        edit(row, [&](FilterRule &r) {
            r.regex = checked;
            r.pattern = pattern->text();
        });
        showError(row, pattern->text());
    });

    auto *caseSensitive = new QCheckBox(table);
    caseSensitive->setChecked(rule.caseSensitive);
    place(CaseColumn, caseSensitive, "ruleCase");
    connect(caseSensitive, &QCheckBox::toggled, this, [this, row](bool checked) {
        edit(row, [&](FilterRule &r) { r.caseSensitive = checked; });
    });

    auto *panes = new QToolButton(table);
    panes->setPopupMode(QToolButton::InstantPopup);
    panes->setText(panesText(rule));
    auto *paneMenu = new QMenu(panes);
    for (int pane = 0; pane < paneNames.size(); ++pane) {
        QAction *action = paneMenu->addAction(paneNames.at(pane));
        action->setCheckable(true);
        action->setChecked(rule.appliesTo(pane));
        connect(action, &QAction::toggled, this, [this, row, pane, panes](bool checked) {
            edit(row, [&](FilterRule &r) {
                r.panes = checked ? r.panes | (1 << pane) : r.panes & ~(1 << pane);
            });
            panes->setText(panesText(rules->rule(row)));
        });
    }
    panes->setMenu(paneMenu);
    place(PanesColumn, panes, "rulePanes");

    auto *colour = new QComboBox(table);
    for (const HighlightColour &entry : highlightPalette())
        colour->addItem(swatch(entry.background), entry.name, entry.background);
    if (rule.background.isValid() && colour->findData(rule.background) < 0)
        colour->addItem(swatch(rule.background), rule.background.name(), rule.background);
    colour->setCurrentIndex(qMax(0, colour->findData(rule.background)));
    colour->setEnabled(rule.action == FilterRule::Highlight);
    place(ColourColumn, colour, "ruleColour");
    connect(colour, QOverload<int>::of(&QComboBox::activated), this, [this, row, colour] {
        edit(row, [&](FilterRule &r) { r.background = colour->currentData().value<QColor>(); });
    });
    connect(kind, QOverload<int>::of(&QComboBox::activated), this, [this, row, colour](int index) {
        colour->setEnabled(index == FilterRule::Highlight);
        edit(row, [&](FilterRule &r) {
            r.action = FilterRule::Action(index);
            if (r.action == FilterRule::Highlight && !r.background.isValid())
                r.background = colour->currentData().value<QColor>();
        });
    });

    auto *error = new QLabel(table);
    error->setStyleSheet(QStringLiteral("color: #c00000"));
    place(ErrorColumn, error, "ruleError");
    showError(row, rule.pattern);
}

void RulesDialog::edit(int row, const std::function<void(FilterRule &)> &change)
{
    // A pattern field that loses the keyboard as its row goes still says it is done.
    if (row >= rules->count())
        return;
    FilterRule rule = rules->rule(row);
    change(rule);
    editing = true;
    rules->replace(row, rule);
    editing = false;
}

void RulesDialog::showError(int row, const QString &pattern)
{
    auto *label = qobject_cast<QLabel *>(table->cellWidget(row, ErrorColumn));
    if (!label)
        return;
    const FilterRule &rule = rules->rule(row);
    const QString error = RuleMatcher(pattern, rule.regex, rule.caseSensitive).error();
    label->setText(error);
    label->setToolTip(error);
}

void RulesDialog::addRule()
{
    FilterRule rule;
    rule.background = highlightPalette().constFirst().background;
    editing = true;
    const bool added = rules->append(rule);
    editing = false;
    if (!added)
        return;
    showRules();
    const int row = rules->count() - 1;
    table->selectRow(row);
    table->cellWidget(row, PatternColumn)->setFocus(Qt::OtherFocusReason);
}

void RulesDialog::removeRule()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    editing = true;
    rules->remove(row);
    editing = false;
    showRules();
    if (rules->count() > 0)
        table->selectRow(qMin(row, rules->count() - 1));
}

void RulesDialog::moveRule(int by)
{
    const int row = selectedRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= rules->count())
        return;
    editing = true;
    rules->move(row, to);
    editing = false;
    showRules();
    table->selectRow(to);
}

void RulesDialog::showButtons()
{
    const int row = selectedRow();
    removeButton->setEnabled(row >= 0);
    upButton->setEnabled(row > 0);
    downButton->setEnabled(row >= 0 && row + 1 < rules->count());
    addButton->setEnabled(!rules->isFull());
    fullLabel->setVisible(rules->isFull());
}

int RulesDialog::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

bool RulesDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A row's widgets take the clicks; the row they are in becomes the one the buttons act on.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
        const QVariant row = watched->property("ruleRow");
        if (row.isValid() && row.toInt() != selectedRow())
            table->selectRow(row.toInt());
    }
    return QDialog::eventFilter(watched, event);
}
