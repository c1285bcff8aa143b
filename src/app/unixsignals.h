// UnixSignals: SIGINT, SIGTERM and SIGHUP, reported as a Qt signal from the event loop.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef UNIXSIGNALS_H
#define UNIXSIGNALS_H

#include <QObject>

class QSocketNotifier;

// While it exists, SIGINT (Ctrl+C), SIGTERM (kill) and SIGHUP (the terminal went away) no
// longer end the program on the spot: each is reported as received(), emitted by the event loop,
// where the program may do anything it likes, such as closing its windows.
//
// A signal handler may only call async-signal-safe functions, so the handler writes the signal's
// number into a socket pair and a QSocketNotifier on the other end turns it into received().
// Signals that were ignored when the program started (nohup) stay ignored. The first two
// signals are reported, since closing a terminal or stopping a service sends two; the third
// ends the program as if nothing caught it, so that a program that no longer turns its event
// loop can still be stopped. Only one object may exist at a time, after the application object.
class UnixSignals : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

    // False when the socket pair could not be made; then the signals keep their old effect.
    bool isActive() const { return notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readSignals();

    QSocketNotifier *notifier = nullptr;
};

#endif // UNIXSIGNALS_H
