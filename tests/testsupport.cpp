#include "testsupport.h"

#include <QDir>
#include <QFile>

void TestHome::writeConfig(const QByteArray &content) const
{
    QDir().mkpath(configDir());
    QFile file(configPath());
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray TestHome::readConfig() const
{
    QFile file(configPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 TestHome::useFreePort(const QByteArray &moreLines) const
{
    const quint16 port = freeUdpPort();
    writeConfig("serverPort = " + QByteArray::number(port) + "\n" + moreLines);
    return port;
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

QByteArray message(const QStringList &tabs, const QString &log1, const QString &log2,
                   const QString &log3, const QString &log4)
{
    QJsonObject object;
    object.insert(QStringLiteral("tabs"), QJsonArray::fromStringList(tabs));
    const QString texts[] = {log1, log2, log3, log4};
    for (int pane = 0; pane < 4; ++pane) {
        if (!texts[pane].isNull())
            object.insert(QStringLiteral("log%1").arg(pane + 1), texts[pane]);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool sendDatagram(quint16 port, const QByteArray &payload)
{
    QUdpSocket sender;
    return sender.writeDatagram(payload, QHostAddress::LocalHost, port) == payload.size();
}
