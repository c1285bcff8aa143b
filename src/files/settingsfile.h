// The viewer's settings and their text file, ~/.corvane/config: reading, writing, saving.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SETTINGSFILE_H
#define SETTINGSFILE_H

#include <QByteArray>
#include <QHostAddress>
#include <QRect>
#include <QString>
#include <QStringList>

// Everything the viewer keeps from one run to the next, with the values of a first start.
struct Settings
{
    Settings();

    QHostAddress serverIp;
    quint16 serverPort;
    bool timeoutEnabled;
    int timeoutValue; // seconds
    QRect geometry; // the window's, without its frame
    QStringList tabCaptions;

    bool operator==(const Settings &other) const;
    bool operator!=(const Settings &other) const { return !(*this == other); }
};

// The settings that a file's bytes give, each line read over `start`: lines of "key = value"
// with keys in any letter case, "#" comments, and lines with no "=" or several skipped. The
// window always gets its geometry from the file's lines alone, on top of 50, 50, 700 by 400.
Settings settingsFromText(const QByteArray &text, const Settings &start = Settings());

// The file's bytes for the settings: the fixed header, then every key in a fixed order.
QByteArray settingsText(const Settings &settings);

// Reads the file at `path` over `start`. Anything but a readable regular file leaves every
// value of `start` but the geometry, which becomes 50, 50, 700 by 400.
Settings readSettingsFile(const QString &path, const Settings &start = Settings());

// Replaces the file at `path` in one step: a failed write leaves the old file as it was.
// Returns an empty string on success, otherwise the reason the system gave.
QString writeSettingsFile(const QString &path, const Settings &settings);

#endif // SETTINGSFILE_H
