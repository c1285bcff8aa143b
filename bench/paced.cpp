// The paced run: a steady stream of datagrams at a given rate into the viewer.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

namespace bench {

Run viewerPaced(Harness &harness, qint64 count, qint64 rate)
{
    auto viewer = harness.openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    Run run = harness.drive(
        QStringLiteral("viewer, paced"),
        {QStringLiteral("--port"), QString::number(viewer->port), QStringLiteral("--count"),
         QString::number(count), QStringLiteral("--rate"), QString::number(rate),
         QStringLiteral("--seconds"), QString::number(double(count) / rate * 4 + 10)},
        [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

} // namespace bench
