// How the panes show their texts, kept from one run to the next in ~/.corvane/view.json.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef VIEWFILE_H
#define VIEWFILE_H

#include <QByteArray>
#include <QString>

// What the "View" menu's prefixes are set to; all off at a first start, so the panes show
// their texts alone. The time since the previous text takes the place of the arrival time:
// at most one of the two is on.
struct ViewChoices
{
    bool times = false;
    bool sincePrevious = false;
    bool senders = false;

    bool operator==(const ViewChoices &other) const;
    bool operator!=(const ViewChoices &other) const { return !(*this == other); }
};

// A file of their own, so that the settings file's bytes stay as they are: a JSON object of
// true and false. Anything else in it (a member missing or of another kind, no JSON at all,
// no file) reads as off; both times on reads as the time since the previous text.
ViewChoices viewChoicesFromJson(const QByteArray &json);
QByteArray viewChoicesJson(const ViewChoices &choices);

ViewChoices readViewFile(const QString &path);
// Replaces the file in one step; returns the reason it could not, or an empty string.
QString writeViewFile(const QString &path, const ViewChoices &choices);

#endif // VIEWFILE_H
