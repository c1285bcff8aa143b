// The burst run: a large table that keeps the window busy, followed at once by small datagrams,
// which must all arrive.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

namespace bench {

Run viewerBurst(Harness &harness, qint64 count)
{
    auto viewer = harness.openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    Run run = harness.drive(
        QStringLiteral("viewer, burst"),
        {QStringLiteral("--port"), QString::number(viewer->port), QStringLiteral("--count"),
         QString::number(count), QStringLiteral("--lead-table"), QStringLiteral("--seconds"),
         QStringLiteral("60")},
        [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

} // namespace bench
