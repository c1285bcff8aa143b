// The status row's word on the recording: to which file, how large, what it could not keep.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDLABEL_H
#define RECORDLABEL_H

#include "window/statuslabel.h"

// Made when a recording first starts.
class RecordLabel : public StatusLabel
{
    Q_OBJECT

public:
    using StatusLabel::StatusLabel;

public slots:
    void showProgress(const QString &path, qint64 fileBytes, qint64 notRecorded);
    // A recording stopped by the user hides the label; one stopped by an error says why.
    void showStopped(const QString &path, const QString &error);
};

#endif // RECORDLABEL_H
