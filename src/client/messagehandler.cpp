// corvane::installMessageHandler(): every Qt log message to the viewer and to the handler before.
// SPDX-License-Identifier: MIT
#include "corvane/client.h"

#include "channel.h"
#include "encoding.h"
#include "messagerouting.h"

#include <QMutex>

#include <atomic>

namespace corvane {

namespace {

// What one installMessageHandler() call set up. Messages may be on their way through a state
// in other threads at any time, so a state is never deleted: a later call retires it to a list
// that keeps it reachable until the program ends.
struct HandlerState
{
    explicit HandlerState(const MessageHandlerOptions &options)
        : channel(options.address.isEmpty() ? defaultAddress() : options.address),
          captions(options.captions),
          routing(options.categoryPanes),
          format(options.textFormat)
    { }

    Channel channel;
    const QStringList captions;
    const MessageRouting routing;
    const TextFormat format;
    HandlerState *retired = nullptr;
};

std::atomic<HandlerState *> currentState {nullptr};
std::atomic<QtMessageHandler> previousHandler {nullptr};
HandlerState *retiredStates = nullptr; // under installMutex
// Whether Qt's handler chain reaches ours: also after removeMessageHandler() if another handler
// was installed on top of ours and passes messages on to it.
bool inChain = false; // under installMutex
// Plain storage that needs no destructor, so that messages sent while the program's statics
// are destroyed still find it.
QBasicMutex installMutex;
// Set while this thread sends a message: a message that Qt raises meanwhile goes only to the
// previous handler instead of looping back here (or waiting for a lock this thread holds).
thread_local bool sending = false;

void sendMessage(HandlerState &state, QtMsgType type, const QMessageLogContext &context,
                 const QString &message)
{
    if (state.channel.dropIfQuiet())
        return;
    PaneTexts texts;
    texts[state.routing.pane(type, context.category) - 1] =
        qFormatLogMessage(type, context, message);
    if (texts == PaneTexts())
        return;
    const QByteArrayList payloads = datagramsWithin(state.captions, texts, state.format,
                                                    maxDatagramSize - state.channel.countRoom());
    if (payloads.isEmpty())
        state.channel.drop(Sender::SendError,
                           QStringLiteral("the tab captions alone leave no room for a text"));
    for (const QByteArray &payload : payloads)
        state.channel.sendCounted(payload);
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    HandlerState *state = currentState.load(std::memory_order_acquire);
    if (state && !sending) {
        sending = true;
        sendMessage(*state, type, context, message);
        sending = false;
    }
    // For a fatal message the previous handler may end the program, so it comes last.
    QtMessageHandler previous = previousHandler.load(std::memory_order_acquire);
    if (!previous) {
        // Our handler is in place but the installing thread has not yet stored the one it
        // replaced: it does so before it lets go of the lock.
        QMutexLocker lock(&installMutex);
        previous = previousHandler.load(std::memory_order_acquire);
    }
    if (previous)
        previous(type, context, message);
}

} // namespace

bool installMessageHandler(const MessageHandlerOptions &options)
{
    auto *state = new HandlerState(options);
    const bool usable = state->channel.isValid() && state->routing.isValid();
    QMutexLocker lock(&installMutex);
    HandlerState *before = currentState.exchange(state, std::memory_order_acq_rel);
    if (before) {
        before->retired = retiredStates;
        retiredStates = before;
    }
    // Once in Qt's chain, the chain stays as it is and only the options change.
    if (!inChain) {
        previousHandler.store(qInstallMessageHandler(handleMessage), std::memory_order_release);
        inChain = true;
    }
    return usable;
}

void removeMessageHandler()
{
    QMutexLocker lock(&installMutex);
    HandlerState *before = currentState.exchange(nullptr, std::memory_order_acq_rel);
    if (!before)
        return;
    before->retired = retiredStates;
    retiredStates = before;
    const QtMessageHandler previous = previousHandler.load(std::memory_order_acquire);
    const QtMessageHandler replaced = qInstallMessageHandler(previous);
    if (replaced == handleMessage) {
        inChain = false;
    } else {
        // Someone installed a handler after ours: theirs stays, and still passes messages on
        // to ours, which now only hands them on.
        qInstallMessageHandler(replaced);
    }
}

quint64 droppedMessageCount()
{
    const HandlerState *state = currentState.load(std::memory_order_acquire);
    return state ? state->channel.droppedCount() : 0;
}

} // namespace corvane
