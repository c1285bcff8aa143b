// Holds the texts that arrive while the panes are paused, and lets them in when unpaused.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/pausegate.h"

#include "panes/logpane.h"

#include <QElapsedTimer>

namespace {

// The most of one pane's waiting texts that go to the appender in one turn: some milliseconds
// of appending, whether the texts are short or long.
const int sliceTexts = 1000;
const qint64 sliceBytes = 1024 * 1024;

// Counted as the pane counts its history: two bytes a character, and the paragraph break.
qint64 bytesOf(const QString &text)
{
    return 2 * (qint64(text.size()) + 1);
}

} // namespace

PauseGate::PauseGate(BatchAppender *appender, const std::array<LogPane *, paneCount> &panes,
                     QObject *parent)
    : QObject(parent), appender(appender), panes(panes)
{
    connect(appender, &BatchAppender::batchAppended, this, &PauseGate::letInLater);
}

void PauseGate::hand(const BatchAppender::Texts &texts)
{
    if (!paused && waiting() == 0) {
        appender->append(texts);
        return;
    }
    for (int pane = 0; pane < paneCount; ++pane)
        hold(pane, texts[size_t(pane)]);
    letInLater();
    emit stateChanged(paused, waiting());
}

void PauseGate::setPaused(bool pause)
{
    if (paused == pause)
        return;
    paused = pause;
    letInLater();
    emit stateChanged(paused, waiting());
}

qint64 PauseGate::waiting() const
{
    qint64 texts = 0;
    for (const Waiting &pane : held)
        texts += qint64(pane.texts.size());
    return texts;
}

void PauseGate::discard()
{
    held = {};
    emit stateChanged(paused, 0);
}

void PauseGate::discard(int pane)
{
    held[size_t(pane)] = Waiting();
    emit stateChanged(paused, waiting());
}

// Waits behind the texts there, and the oldest go once the pane's limits are passed; the
// newest text stays, however large.
void PauseGate::hold(int pane, const QVector<KeptText> &texts)
{
    Waiting &waiting = held[size_t(pane)];
    for (const KeptText &text : texts) {
        waiting.texts.push_back(text);
        waiting.bytes += bytesOf(text.text);
    }
    const qint64 limit = panes[size_t(pane)]->historyLimit();
    const qint64 byteLimit = panes[size_t(pane)]->historySize();
    while (waiting.texts.size() > 1
           && ((limit > 0 && qint64(waiting.texts.size()) > limit)
               || (byteLimit > 0 && waiting.bytes > byteLimit))) {
        waiting.bytes -= bytesOf(waiting.texts.front().text);
        waiting.texts.pop_front();
    }
}

void PauseGate::letInLater()
{
    if (hasBacklog())
        emit backlogWaiting();
}

// Slices of every pane's waiting texts, each as one batch; the next slice waits until the
// appender has all of the last one in (batchAppended()).
void PauseGate::letBacklogIn(qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    while (hasBacklog() && !appender->isAppending() && clock.elapsed() < budgetMs) {
        BatchAppender::Texts slice;
        for (int pane = 0; pane < paneCount; ++pane)
            takeSlice(held[size_t(pane)], slice[size_t(pane)]);
        emit stateChanged(paused, waiting());
        appender->append(slice);
    }
}

void PauseGate::takeSlice(Waiting &waiting, QVector<KeptText> &slice)
{
    qint64 bytes = 0;
    while (!waiting.texts.empty() && slice.size() < sliceTexts
           && (bytes == 0 || bytes + bytesOf(waiting.texts.front().text) <= sliceBytes)) {
        bytes += bytesOf(waiting.texts.front().text);
        slice.append(std::move(waiting.texts.front()));
        waiting.texts.pop_front();
    }
    waiting.bytes -= bytes;
}
