// Shows the recording's file, size and losses, or why it stopped.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordlabel.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>

void RecordLabel::showProgress(const QString &path, qint64 fileBytes, qint64 notRecorded)
{
    QString text = tr("Recording to %1 (%2)")
                       .arg(QFileInfo(path).fileName(), QLocale().formattedDataSize(fileBytes));
    if (notRecorded > 0)
        text += QLatin1String(", ") + tr("%1 not recorded").arg(notRecorded);
    showText(text, QStringLiteral("uiRecording"),
             tr("Every datagram that arrives is written to %1. Datagrams that came while the "
                "disk fell behind are counted as not recorded.")
                 .arg(QDir::toNativeSeparators(path)));
    // A text that grows by a digit must not widen the window: that would lay out every pane
    // anew, which in a flood stood the window still for 0.5 to 0.8 s. The label takes the room
    // the row has, and its tooltip names the file whole.
    shownLabel()->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void RecordLabel::showStopped(const QString &path, const QString &error)
{
    if (error.isEmpty()) {
        hide();
        return;
    }
    showText(tr("Recording stopped: %1").arg(error), QStringLiteral("uiRecording"),
             tr("Nothing more is written to %1.").arg(QDir::toNativeSeparators(path)));
}
