// A recording shown in a window: the newest texts of each pane, as they arrived.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGVIEW_H
#define RECORDINGVIEW_H

#include "ingest/logmessage.h"
#include "record/timerange.h"

#include <QString>
#include <QVector>

class MainWindow;
class QWidget;

// Reads the recording's datagrams within the range, at most the newest textsPerPane texts of
// each pane (0: all), and hands them to a window made with MainWindow::Source::Recording, as
// one batch through the window's own path: captions, times and senders as they came. False
// with the reason in *error when the file cannot be read.
bool showRecording(MainWindow &window, const QString &path, const TimeRange &range,
                   int textsPerPane, QString *error);

// "Open recording...": a window of its own, gone when closed, or a message saying why not.
void openRecordingWindow(const QString &path, int textsPerPane, QWidget *parent);

// The window's side of showRecording(): the messages as one batch, in the panes on return.
void feedRecording(MainWindow &window, const QString &path, const QVector<LogMessage> &messages);

#endif // RECORDINGVIEW_H
