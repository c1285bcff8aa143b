// The highlight palette and the rules' names for their actions.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/filterrule.h"

#include <QCoreApplication>

namespace {
struct FilterRuleTexts
{
    Q_DECLARE_TR_FUNCTIONS(FilterRule)
};
} // namespace

QVector<HighlightColour> highlightPalette()
{
    return {
        {FilterRuleTexts::tr("Red"), QColor(0xff, 0xc8, 0xc8)},
        {FilterRuleTexts::tr("Orange"), QColor(0xff, 0xdc, 0xb4)},
        {FilterRuleTexts::tr("Yellow"), QColor(0xff, 0xf3, 0xa8)},
        {FilterRuleTexts::tr("Green"), QColor(0xc8, 0xf0, 0xc8)},
        {FilterRuleTexts::tr("Blue"), QColor(0xc8, 0xdc, 0xff)},
        {FilterRuleTexts::tr("Violet"), QColor(0xe6, 0xd2, 0xff)},
        {FilterRuleTexts::tr("Grey"), QColor(0xdc, 0xdc, 0xdc)},
    };
}

QColor readableOn(const QColor &background)
{
    // Relative luminance, weighted as the eye weighs the three.
    const double light =
        0.2126 * background.redF() + 0.7152 * background.greenF() + 0.0722 * background.blueF();
    return light > 0.45 ? QColor(Qt::black) : QColor(Qt::white);
}

QString actionName(FilterRule::Action action)
{
    switch (action) {
    case FilterRule::Hide:
        return QStringLiteral("hide");
    case FilterRule::Show:
        return QStringLiteral("show");
    case FilterRule::Highlight:
        break;
    }
    return QStringLiteral("highlight");
}

int actionOfName(const QString &name)
{
    for (FilterRule::Action action : {FilterRule::Hide, FilterRule::Show, FilterRule::Highlight}) {
        if (name == actionName(action))
            return action;
    }
    return -1;
}
