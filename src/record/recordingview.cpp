// Reads a recording into a window that does not listen.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recordingview.h"

#include "panes/batchappender.h"
#include "record/recordreader.h"
#include "window/mainwindow.h"
#include "window/mainwindowform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>

namespace {
struct RecordingViewTexts
{
    Q_DECLARE_TR_FUNCTIONS(Recording)
};
} // namespace

bool showRecording(MainWindow &window, const QString &path, const TimeRange &range,
                   int textsPerPane, QString *error)
{
    RecordReader reader;
    if (!reader.open(path)) {
        *error = reader.error();
        return false;
    }
    const QVector<LogMessage> messages = reader.newestMessages(range, textsPerPane);
    if (!reader.error().isEmpty()) {
        *error = reader.error();
        return false;
    }
    feedRecording(window, path, messages);
    return true;
}

void feedRecording(MainWindow &window, const QString &path, const QVector<LogMessage> &messages)
{
    window.setWindowTitle(RecordingViewTexts::tr("%1 - Corvane").arg(QFileInfo(path).fileName()));
    window.ui->uiStatusText->setText(RecordingViewTexts::tr("Recording %1: %2 datagrams shown")
                                         .arg(QDir::toNativeSeparators(path))
                                         .arg(messages.size()));
    window.slPendingDatagrams(messages);
    window.batchAppender->finish();
}

void openRecordingWindow(const QString &path, int textsPerPane, QWidget *parent)
{
    auto *window = new MainWindow(nullptr, QString(), MainWindow::Source::Recording);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setHistoryLimit(textsPerPane);
    QString error;
    if (!showRecording(*window, path, TimeRange(), textsPerPane, &error)) {
        delete window;
        QMessageBox::warning(parent, RecordingViewTexts::tr("Open recording"),
                             RecordingViewTexts::tr("The recording %1 could not be opened:\n%2")
                                 .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    window->show();
}
