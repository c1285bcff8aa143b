// UnixSignals: the signal handler, its socket pair and the notifier that reads the pair.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/unixsignals.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int signalCount = 3;
const int handledSignals[signalCount] = {SIGINT, SIGTERM, SIGHUP};

// Everything the handler touches is set up before the handler is installed. [1] is the end it
// writes to, [0] the end the notifier watches.
int signalSockets[2] = {-1, -1};
bool installed[signalCount] = {};
struct sigaction previousActions[signalCount];
struct sigaction defaultAction;

// A closing terminal sends two signals (the shell forwards one SIGHUP and the system sends
// another), and a service manager sends SIGTERM then SIGHUP: the first two are reported, and
// the third ends the program at once. Any thread may take a signal, hence the atomic count.
constexpr int signalsReported = 2;
std::atomic<int> signalsReceived {0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only use a lock-free count");

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    if (signalsReceived.fetch_add(1) >= signalsReported) {
        // Held back while its handler runs, it ends the program as soon as the handler returns.
        for (int index = 0; index < signalCount; ++index) {
            if (installed[index])
                ::sigaction(handledSignals[index], &defaultAction, nullptr);
        }
        ::raise(signalNumber);
        errno = savedErrno;
        return;
    }
    const char number = char(signalNumber);
    // The socket does not block: when it is full, the event loop has signals to read already.
    const ssize_t written = ::write(signalSockets[1], &number, 1);
    Q_UNUSED(written)
    errno = savedErrno;
}

bool ignoredAtStart(const struct sigaction &action)
{
    return !(action.sa_flags & SA_SIGINFO) && action.sa_handler == SIG_IGN;
}

} // namespace

UnixSignals::UnixSignals(QObject *parent) : QObject(parent)
{
    Q_ASSERT(signalSockets[0] < 0);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        qWarning("No socket pair for SIGINT, SIGTERM and SIGHUP (%s): they end the program at once",
                 std::strerror(errno));
        signalSockets[0] = signalSockets[1] = -1;
        return;
    }
    notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UnixSignals::readSignals);

    defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    // The handler runs with the other two held back, and interrupted system calls resume.
    sigemptyset(&action.sa_mask);
    for (int signalNumber : handledSignals)
        sigaddset(&action.sa_mask, signalNumber);
    action.sa_flags = SA_RESTART;
    signalsReceived = 0;
    for (int index = 0; index < signalCount; ++index) {
        ::sigaction(handledSignals[index], nullptr, &previousActions[index]);
        installed[index] = !ignoredAtStart(previousActions[index]);
        if (installed[index])
            ::sigaction(handledSignals[index], &action, nullptr);
    }
}

UnixSignals::~UnixSignals()
{
    if (!notifier)
        return;
    for (int index = 0; index < signalCount; ++index) {
        if (installed[index])
            ::sigaction(handledSignals[index], &previousActions[index], nullptr);
        installed[index] = false;
    }
    delete notifier;
    notifier = nullptr;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void UnixSignals::readSignals()
{
    char numbers[16];
    ssize_t count;
    while ((count = ::read(signalSockets[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t index = 0; index < count; ++index)
            emit received(numbers[index]);
    }
}
