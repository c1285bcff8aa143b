// Sends a Qt program's log messages, and texts of its own, to a running Corvane viewer.
// SPDX-License-Identifier: MIT
#include <corvane/client.h>

#include <QCoreApplication>
#include <QtDebug>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    corvane::installMessageHandler(); // every qDebug() to qFatal() from here on

    qInfo("started");
    qWarning("disk %d%% full", 95);

    // Texts of your own go to pane 1 to 4, here under the captions the messages use.
    corvane::Sender sender;
    sender.setCaptions({"Debug", "Info", "Warning", "Error"});
    sender.setTextFormat(corvane::TextFormat::Exact); // "<b>" shows as written
    sender.send(2, QStringLiteral("compiled <b>3</b> files"));
    return 0;
}
