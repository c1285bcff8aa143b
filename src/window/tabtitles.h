// The tabs' titles: each pane's caption, and how many texts it got since it was cleared.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TABTITLES_H
#define TABTITLES_H

#include "protocol/panes.h"

#include <QObject>
#include <QStringList>

#include <array>

class QTabWidget;
struct LogMessage;

// Every datagram names the tabs, bare, and each text it brings makes the counts show again:
// the last message counted decides whether the titles show the counts.
class TabTitles : public QObject
{
    Q_OBJECT

public:
    explicit TabTitles(QTabWidget *tabs, QObject *parent = nullptr);

    QStringList captions() const { return tabCaptions; }
    void setCaptions(const QStringList &captions) { tabCaptions = captions; }

    // Takes the message's captions and counts its texts; the titles change with show().
    void count(const LogMessage &message);
    void show();
    // Counts from zero again, and shows the bare captions.
    void reset();
    // Counts one pane from zero again; the others keep their counts.
    void reset(int pane);

private:
    void showTitles(bool withCounts);

    QTabWidget *tabs;
    QStringList tabCaptions;
    std::array<qint64, paneCount> counts {};
    bool lastHadText = false;
};

#endif // TABTITLES_H
