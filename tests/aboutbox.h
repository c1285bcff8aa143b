// Test helper: opens the About box and looks at it from inside its modal loop.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ABOUTBOX_H
#define ABOUTBOX_H

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

// The About box runs its own modal event loop, so a test cannot look at it after opening it:
// `open` (triggering the menu action, pressing the help key) only returns once the box has
// closed. withAboutBox hands the open box to `inspect` from inside that loop, and closes it
// afterwards if `inspect` did not, so a failed check never leaves the test waiting for ever.
// Returns whether a modal dialog showed up at all.
template<typename Open, typename Inspect> bool withAboutBox(Open open, Inspect inspect)
{
    bool shown = false;
    QTimer timer; // dies with this call, so it never fires into a later event loop
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QPointer<QDialog> dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        inspect(dialog.data());
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    timer.start(0);
    open();
    return shown;
}

#endif // ABOUTBOX_H
