// Payloads handed straight to a window, as if just read from its socket.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DIRECTFEED_H
#define DIRECTFEED_H

#include <QByteArray>
#include <QVector>

class MainWindow;

// For tests and the benchmark, which need batches of a known make-up without a socket between.
// The payloads are one batch that arrives now: the first may clear the panes, all are routed, the
// titles are composed once and the quiet period starts again. Every text is in its pane on return.
void processDatagrams(MainWindow &window, const QVector<QByteArray> &payloads);

#endif // DIRECTFEED_H
