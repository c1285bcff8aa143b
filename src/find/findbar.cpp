// The find bar's widgets, keys and texts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "find/findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("findText"));
    field->setPlaceholderText(tr("Find"));
    // No clear button: Esc and the close button end a search, and Qt fades that button in and
    // out with an animation of no parent, never freed if the program ends within its 160 ms.
    layout->addWidget(field, 1);
    caseSensitive = new QCheckBox(tr("Case sensitive"), this);
    caseSensitive->setObjectName(QStringLiteral("findCaseSensitive"));
    layout->addWidget(caseSensitive);
    filter = new QCheckBox(tr("Filter"), this);
    filter->setObjectName(QStringLiteral("findFilter"));
    filter->setToolTip(tr("Shows only the texts that contain what you look for, while the find "
                          "bar is open"));
    layout->addWidget(filter);
    count = new QLabel(this);
    count->setObjectName(QStringLiteral("findCount"));
    count->setMinimumWidth(
        count->fontMetrics().horizontalAdvance(QStringLiteral("000000 of 000000")));
    layout->addWidget(count);
    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("findClose"));
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close the find bar"));
    layout->addWidget(close);

    connect(field, &QLineEdit::textChanged, this, &FindBar::searchChanged);
    connect(caseSensitive, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(filter, &QCheckBox::toggled, this, &FindBar::filterSwitched);
    connect(field, &QLineEdit::returnPressed, this, &FindBar::nextRequested);
    connect(close, &QToolButton::clicked, this, &FindBar::dismiss);
    // Anywhere in the window, but only while the bar is on show.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::dismiss);
}

QString FindBar::pattern() const
{
    return field->text();
}

Qt::CaseSensitivity FindBar::caseSensitivity() const
{
    return caseSensitive->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool FindBar::isFiltering() const
{
    return filter->isChecked();
}

void FindBar::open()
{
    show();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void FindBar::dismiss()
{
    hide();
    emit dismissed();
}

void FindBar::showResult(int current, int total)
{
    if (pattern().isEmpty())
        count->clear();
    else if (total == 0)
        count->setText(tr("No matches"));
    else
        count->setText(tr("%1 of %2").arg(current + 1).arg(total));
}
