// Replacing a file's content in one step, so that a failed write leaves the old file whole.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ATOMICFILE_H
#define ATOMICFILE_H

#include <QByteArray>
#include <QString>

// Writes `bytes` to the file at `path` through a temporary file beside it, which replaces the
// old file only once everything is on disk: a crash, a full disk or a name that cannot be
// written leaves whatever was there before. Returns an empty string on success, otherwise
// the reason the system gave.
QString writeFileAtomically(const QString &path, const QByteArray &bytes);

#endif // ATOMICFILE_H
