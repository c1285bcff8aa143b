// Writes a file through QSaveFile and catches the failures that QSaveFile alone would miss.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/atomicfile.h"

#include <QSaveFile>

namespace {

// Hands every byte to the system. A write that fails in the file's buffer shows only when the
// buffer is flushed, and commit() would not notice: a full disk would leave a truncated file
// in place of the old. A write that the disk cuts short reports no reason of its own; going
// on with the rest fails with the system's reason (no space left, file too large).
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    while (file.bytesToWrite() > 0) {
        const qint64 waiting = file.bytesToWrite();
        if (!file.flush() && file.bytesToWrite() == waiting)
            return false;
    }
    return file.flush();
}

} // namespace

QString writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!writeAll(file, bytes)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
