// The recording run: the flood into the viewer with recording off and on, in turn, in the same
// run, so that both see the same machine and load.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include "record/recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bench {

void recordingCost(Harness &harness, double seconds, int rounds, const QString &directory)
{
    double rateOff = 0, rateOn = 0, stallOff = 0, stallOn = 0;
    qint64 fileBytes = 0, notRecorded = 0, received = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const bool recording : {false, true}) {
            auto viewer = harness.openViewer();
            const QString path = QDir(directory).filePath(QStringLiteral("flood.sqlite"));
            QFile::remove(path);
            auto *recorder = viewer->window->findChild<Recorder *>();
            qint64 lostHere = 0;
            QObject::connect(recorder, &Recorder::progress,
                             [&](const QString &, qint64, qint64 lost) { lostHere = lost; });
            if (recording)
                viewer->window->record(path, qint64(1) << 30);
            Run run = harness.drive(recording ? QStringLiteral("viewer, flood, recording")
                                              : QStringLiteral("viewer, flood"),
                                    {QStringLiteral("--port"), QString::number(viewer->port),
                                     QStringLiteral("--seconds"), QString::number(seconds)},
                                    [&] { return viewer->received(); });
            printRun(run);
            (recording ? rateOn : rateOff) += run.rate / rounds;
            double &stall = recording ? stallOn : stallOff;
            stall = qMax(stall, run.stallMs);
            if (recording) {
                received += run.received;
                recorder->stop(); // writes what waits, so the file holds the whole run
                fileBytes = QFileInfo(path).size();
                notRecorded += lostHere;
            }
        }
    }
    say(QStringLiteral(
            "record: rate_off_per_s=%1 rate_on_per_s=%2 ratio=%3 longest_stall_off_ms=%4 "
            "longest_stall_on_ms=%5 received_recording=%6 not_recorded=%7 "
            "last_file_mib=%8 load=%9")
            .arg(number(rateOff))
            .arg(number(rateOn))
            .arg(number(rateOff > 0 ? rateOn / rateOff : -1, 2))
            .arg(number(stallOff, 1))
            .arg(number(stallOn, 1))
            .arg(received)
            .arg(notRecorded)
            .arg(number(fileBytes / 1048576.0, 1))
            .arg(loadAverage().replace(QLatin1Char(' '), QLatin1Char('/'))));
}

} // namespace bench
