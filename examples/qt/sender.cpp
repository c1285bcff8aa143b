// Feeds a running Corvane viewer with Qt's QUdpSocket.
// Usage: corvane-qt-sender [port]   (default 1947)
// SPDX-License-Identifier: MIT
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUdpSocket>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const quint16 port = argc > 1 ? QByteArray(argv[1]).toUShort() : 1947;

    QJsonObject message;
    message.insert("tabs", QJsonArray {"Net", "Db", "UI", "Build"}); // always all four tabs
    message.insert("log3", "button pressed");
    message.insert("log4", "100% done");
    const QByteArray payload = QJsonDocument(message).toJson(QJsonDocument::Compact);

    QUdpSocket socket;
    const qint64 sent = socket.writeDatagram(payload, QHostAddress::LocalHost, port);
    return sent == payload.size() ? 0 : 1;
}
