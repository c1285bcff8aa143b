#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QByteArray>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUdpSocket>

// A home directory of the test's own: the window reads and writes ~/.corvane/config there,
// never in the real home. The previous HOME comes back when it goes out of scope.
class TestHome
{
public:
    TestHome() : oldHome(qgetenv("HOME")) { qputenv("HOME", dir.path().toLocal8Bit()); }
    ~TestHome() { qputenv("HOME", oldHome); }
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString path() const { return dir.path(); }
    QString configDir() const { return dir.path() + QLatin1String("/.corvane"); }
    QString configPath() const { return configDir() + QLatin1String("/config"); }

    void writeConfig(const QByteArray &content) const;
    QByteArray readConfig() const;

    // Writes a settings file that only moves the listener to a port of its own, so that tests
    // running side by side never compete for the default port.
    quint16 useFreePort(const QByteArray &moreLines = QByteArray()) const;

private:
    QTemporaryDir dir;
    QByteArray oldHome;
};

// A UDP port on 127.0.0.1 that nobody is bound to right now.
quint16 freeUdpPort();

// One datagram as senders write it.
QByteArray message(const QStringList &tabs, const QString &log1 = QString(),
                   const QString &log2 = QString(), const QString &log3 = QString(),
                   const QString &log4 = QString());

// Sends one datagram to 127.0.0.1:port and reports whether the whole payload went out.
bool sendDatagram(quint16 port, const QByteArray &payload);

#endif // TESTSUPPORT_H
