// The memory run: what a stored line costs in resident memory.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QTextEdit>

#include <cstdlib>

namespace bench {

double memoryPerLine(Harness &harness, qint64 lines, qint64 *before, qint64 *after)
{
    auto viewer = harness.openViewer();
    *before = residentBytes();

    // Fed as the socket drain would feed them, with the window laying out and painting as it
    // goes.
    viewer->feed(lines);
    // Lay the whole of every pane out, as scrolling through it would.
    for (QTextEdit *pane : qAsConst(viewer->panes))
        pane->document()->size();
    spinFor(300);
    *after = residentBytes();
    if (viewer->received() != lines) {
        say(QStringLiteral("error: %1 lines stored, %2 expected")
                .arg(viewer->received())
                .arg(lines));
        std::exit(2);
    }
    if (*before < 0 || *after < 0)
        return -1;
    return double(*after - *before) / double(lines);
}

} // namespace bench
