// Arbitrary bytes as one received datagram: read as a message (by both readers where both
// take it), and its texts written into panes that are shown, painted and cleared now and
// then, as the window does.
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ingest/logmessage.h"
#include "panes/logpane.h"
#include "ingest/plaindatagram.h"

#include <QApplication>
#include <QTabWidget>
#include <QTextEdit>

#include <cstddef>
#include <cstdint>

namespace {

QTabWidget *tabs = nullptr;
LogPane *panes[paneCount] = {};
quint64 handled = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The fuzzer's own options are no business of the application object.
    static int argc = 1;
    static char name[] = "fuzz_datagram";
    static char *argv[] = {name, nullptr};
    // Never destroyed: Qt tears down its own state at exit, after statics would be gone.
    new QApplication(argc, argv);

    tabs = new QTabWidget;
    for (int pane = 0; pane < paneCount; ++pane) {
        auto *view = new QTextEdit;
        panes[pane] = new LogPane(view);
        tabs->addTab(view, defaultCaption(pane));
    }
    tabs->resize(700, 400);
    tabs->show();
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray payload(reinterpret_cast<const char *>(data), int(size));
    const LogMessage message = LogMessage::fromDatagram(payload);
    if (message.captions.size() < paneCount)
        qFatal("a message with fewer than four captions");
    // The one-pass reader, where it takes a payload, reads it exactly as the JSON reader does.
    LogMessage plain;
    if (readPlainDatagram(payload, &plain)) {
        const LogMessage json = LogMessage::fromJson(payload);
        if (plain.captions != json.captions || plain.texts != json.texts || plain.seq != json.seq
            || plain.app != json.app)
            qFatal("the one-pass reader and the JSON reader disagree");
    }

    for (int pane = 0; pane < paneCount; ++pane) {
        tabs->setTabText(pane, message.captions.at(pane));
        if (!message.texts[pane].isEmpty())
            panes[pane]->append({message.texts[pane]});
    }

    // Look at every pane in turn, so that each one is laid out and painted, and empty them
    // from time to time, as a user would, so memory stays bounded over a long run.
    ++handled;
    tabs->setCurrentIndex(int(handled % paneCount));
    if (handled % 16 == 0) {
        for (LogPane *pane : panes)
            pane->clear();
    }
    QCoreApplication::processEvents();
    return 0;
}
