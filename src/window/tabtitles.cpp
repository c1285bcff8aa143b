// Composes the tabs' titles from the captions and the texts counted.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/tabtitles.h"

#include "ingest/logmessage.h"

#include <QTabWidget>

TabTitles::TabTitles(QTabWidget *tabs, QObject *parent) : QObject(parent), tabs(tabs) { }

void TabTitles::count(const LogMessage &message)
{
    tabCaptions = message.captions;
    for (int pane = 0; pane < paneCount; ++pane) {
        if (!message.texts[pane].isEmpty())
            ++counts[pane];
    }
    lastHadText = message.hasText();
}

void TabTitles::show()
{
    showTitles(lastHadText);
}

void TabTitles::reset()
{
    counts.fill(0);
    showTitles(false);
}

void TabTitles::reset(int pane)
{
    counts[size_t(pane)] = 0;
    show();
}

void TabTitles::showTitles(bool withCounts)
{
    for (int pane = 0; pane < paneCount; ++pane) {
        // The tab bar takes "&" for a shortcut mark; doubled, it shows as sent.
        QString title =
            QString(tabCaptions.at(pane)).replace(QLatin1Char('&'), QLatin1String("&&"));
        if (withCounts && counts[pane] > 0)
            title += QLatin1String(" (") + QString::number(counts[pane]) + QLatin1Char(')');
        tabs->setTabText(pane, title);
    }
}
