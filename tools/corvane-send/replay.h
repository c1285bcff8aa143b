// corvane-send --replay: a recording sent again, in order, at its own pace or faster.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef REPLAY_H
#define REPLAY_H

#include <QString>

namespace corvane {
class Sender;
}

// Sends every datagram of the recording at `path` through the sender, oldest first, each
// (its arrival time less the first's) / speed after the first; speed 0 sends them as fast as
// they go. Each payload names the tabs, carries the texts and, when recorded, "seq" and "app".
// False with the reason in *error when the file cannot be read or a datagram cannot be sent.
bool replayRecording(const QString &path, corvane::Sender &sender, double speed, QString *error);

#endif // REPLAY_H
