// A program that uses the installed client library as its users would, driven by tst_clientpackage.
// SPDX-License-Identifier: GPL-3.0-or-later
//
//   consumer show        Qt messages from the main thread and a worker, and a Sender's text
//   consumer flood <n>   n messages with no viewer, timed with and without the library
//   consumer fatal       a fatal message
//
// The program installs a message handler of its own first, as a program with its own logging
// would; what that handler saw goes to the standard output as JSON.
#include <corvane/client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <thread>

namespace {

QMutex seenMutex;
QStringList seen;
qint64 seenCount = 0;
qint64 formattedSize = 0;

// Keeps every message, formatted as Qt's own handler would format it.
void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString formatted = qFormatLogMessage(type, context, message);
    QMutexLocker lock(&seenMutex);
    seen.append(formatted);
    if (type == QtFatalMsg) { // nothing runs after the fatal message, so it is written now
        std::fprintf(stdout, "%s\n",
                     QJsonDocument(QJsonArray::fromStringList(seen)).toJson().constData());
        std::fflush(stdout);
    }
}

// Counts messages and formats them, which is what any handler does at least.
void countMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString formatted = qFormatLogMessage(type, context, message);
    QMutexLocker lock(&seenMutex);
    ++seenCount;
    formattedSize += formatted.size();
}

void print(const QJsonValue &value)
{
    const QByteArray json = value.isArray() ? QJsonDocument(value.toArray()).toJson()
                                            : QJsonDocument(value.toObject()).toJson();
    std::fprintf(stdout, "%s", json.constData());
}

int show()
{
    qInstallMessageHandler(recordMessage);
    corvane::installMessageHandler();

    qDebug("debug <b>not bold</b>  two spaces");
    std::thread([] { qWarning("worker <i>%d</i> & \"quoted\"", 7); }).join();
    qInfo("info\ttab");
    qCritical("critical a<b");

    corvane::Sender sender;
    sender.setCaptions({"Debug", "Info", "Warning", "Error"});
    sender.setTextFormat(corvane::TextFormat::Exact);
    const bool sent = sender.send(2, QStringLiteral("sender <b>%1</b> x<y"));

    print(QJsonArray::fromStringList(seen));
    return sent && corvane::droppedMessageCount() == 0 ? 0 : 1;
}

qint64 timeLoop(int count)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i)
        qDebug("flood message %d of the loop", i);
    return clock.nsecsElapsed();
}

int flood(int count)
{
    // Each figure is the fastest of several rounds, which leaves out what other programs on
    // the machine took meanwhile.
    constexpr int rounds = 5;
    qint64 formatNs = std::numeric_limits<qint64>::max();
    qint64 withoutNs = formatNs;
    qint64 withNs = formatNs;
    quint64 dropped = 0;
    const QMessageLogContext context("consumer.cpp", 1, "flood", "default");
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i) {
            formattedSize += qFormatLogMessage(QtDebugMsg, context,
                                               QString::asprintf("flood message %d of the loop", i))
                                 .size();
        }
        formatNs = std::min(formatNs, clock.nsecsElapsed());

        qInstallMessageHandler(countMessage);
        withoutNs = std::min(withoutNs, timeLoop(count));
        corvane::installMessageHandler();
        withNs = std::min(withNs, timeLoop(count));
        dropped += corvane::droppedMessageCount();
        corvane::removeMessageHandler();
    }
    print(QJsonObject {{"count", count * rounds},
                       {"seen", seenCount},
                       {"dropped", qint64(dropped)},
                       {"formatNs", formatNs},
                       {"withoutNs", withoutNs},
                       {"withNs", withNs}});
    return 0;
}

int fatal()
{
    qInstallMessageHandler(recordMessage);
    corvane::installMessageHandler();
    qFatal("fatal <b>end</b>");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("show"))
        return show();
    if (mode == QLatin1String("flood"))
        return flood(arguments.value(2).toInt());
    if (mode == QLatin1String("fatal"))
        return fatal();
    std::fprintf(stderr, "usage: consumer show | flood <count> | fatal\n");
    return 2;
}
