// The socket that carries a sender's datagrams, safe to use from any thread.
// SPDX-License-Identifier: MIT
#ifndef CORVANE_CHANNEL_H
#define CORVANE_CHANNEL_H

#include "corvane/client.h"

#include <atomic>
#include <memory>
#include <mutex>

class QUdpSocket;

namespace corvane {

// One UDP socket connected to the viewer, shared by every thread under a mutex. Qt's socket is
// a QObject that belongs to a thread; this one belongs to none, so it never gets a socket
// notifier or an event, and any thread may write to it while it holds the mutex. The mutex is
// the standard library's, whose locking the thread sanitizer sees; Qt's is invisible to it.
class Channel
{
public:
    explicit Channel(const QString &address);
    Channel(const QString &host, quint16 port);
    ~Channel();
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    bool isValid() const { return valid; }
    QHostAddress peerAddress() const { return host; }
    quint16 peerPort() const { return port; }

    // For a while after the system reported that datagrams found no viewer (or that there is
    // no way to it), whatever is sent is dropped without a system call. Then this counts one
    // datagram as dropped and returns true, so that callers need not prepare what would be
    // dropped anyway.
    bool dropIfQuiet();
    // Sends one payload as it is; false when it was dropped.
    bool send(const QByteArray &payload);
    // Sends a payload of datagrams() with this channel's count of datagrams sent and the
    // program's name added, "seq" and "app", so the viewer can tell which went missing on the
    // way. A payload with no room left for them goes as it is, and takes no number.
    bool sendCounted(const QByteArray &payload);
    // The most bytes sendCounted() adds to a payload.
    int countRoom();
    // Counts a datagram that the caller dropped itself, with the reason.
    void drop(Sender::Error reason, const QString &why);

    quint64 droppedCount() const { return dropped.load(std::memory_order_relaxed); }
    Sender::Error error() const;
    QString errorString() const;

private:
    void resolve(const QString &hostName, quint16 port);
    bool open();
    bool isQuiet() const;
    bool sendPayload(const QByteArray &payload, bool counted);
    // The payload with "seq" and "app" added, or empty when that would not fit. Under mutex.
    QByteArray withCount(const QByteArray &payload);
    // Makes appMember when first needed. Under mutex.
    void nameProgram();
    // Starts a quiet spell whose drops report the last error. Under mutex.
    void quieten();

    bool valid = false;
    QHostAddress host;
    quint16 port = 0;
    QString absentText;
    std::atomic<quint64> dropped {0};
    // Steady clock's milliseconds until which sends are skipped.
    std::atomic<qint64> quietUntil {0};

    mutable std::mutex mutex;
    std::unique_ptr<QUdpSocket> socket; // under mutex
    Sender::Error lastError = Sender::NoError; // under mutex
    QString lastErrorString; // under mutex
    // Why datagrams are dropped during a quiet spell.
    Sender::Error quietError = Sender::NoError; // under mutex
    QString quietErrorString; // under mutex
    // The datagrams sent with a "seq", which numbers the next one; and the `"app":"name"`
    // member, made when first sent, as a program names itself after it starts.
    quint64 countedSent = 0; // under mutex
    QByteArray appMember; // under mutex
};

} // namespace corvane

#endif // CORVANE_CHANNEL_H
