// What the tests share: a temporary HOME, free ports, datagrams and the window's widgets.
// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <QtMessageHandler>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTextCursor;
class QTextDocument;
class QTextEdit;
class QWidget;

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

// How many times slower than a plain build this build runs, a sanitizer's (ThreadSanitizer the
// most) with other tests beside it; set in tests/CMakeLists.txt.
constexpr int buildSlowdown = CORVANE_TEST_SLOWDOWN;

// A bound on work that a test only needs to see finish: plainMs in a plain build, widened by the
// build's slowdown. It is there to catch a hang; how fast the work goes is the benchmark's.
constexpr int hangBoundMs(int plainMs)
{
    return plainMs * buildSlowdown;
}

// A UDP port on 127.0.0.1 that nobody is bound to right now.
quint16 freeUdpPort();

// One datagram as senders write it.
QByteArray message(const QStringList &tabs, const QString &log1 = QString(),
                   const QString &log2 = QString(), const QString &log3 = QString(),
                   const QString &log4 = QString());

// Sends one datagram to 127.0.0.1:port and reports whether the whole payload went out.
bool sendDatagram(quint16 port, const QByteArray &payload);

// The main window's widgets that a user works with, found by their object names.
struct WindowWidgets
{
    explicit WindowWidgets(const QWidget &window);
    // True when every widget was found with the expected class.
    bool complete() const;

    QStringList tabTitles() const;
    QStringList paneTexts() const;
    void clickRestart() const;
    void clickClearNow() const;

    QLineEdit *serverIp;
    QSpinBox *serverPort;
    QPushButton *restart;
    QCheckBox *timeoutEnabled;
    QSpinBox *timeoutValue;
    QPushButton *clearNow;
    QTabWidget *tabs;
    QTextEdit *logs[4];
    QLabel *statusIcon;
    QLabel *statusText;
};

// The line of a pane's text that holds the cursor. Plain texts that arrive together share a
// paragraph, a line each, after a line separator; any other text is a paragraph of its own.
QString lineAt(const QTextCursor &cursor);
// A pane's text as HTML, with every line of a shared paragraph as a paragraph of its own in the
// paragraph's formats, less the line height that keeps lines even (sharedparagraphs.h): the
// HTML of a pane that gave every text a paragraph.
QString htmlWithAParagraphPerLine(const QTextDocument *document);

// Whether the label shows exactly the image stored under the resource path.
bool labelShowsImage(const QLabel *label, const QString &resourcePath);

// Collects every message the program prints through Qt's logging while it is alive.
class MessageCatcher
{
public:
    MessageCatcher();
    ~MessageCatcher();
    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    QStringList messages() const;

private:
    QtMessageHandler previous;
};

#endif // TESTSUPPORT_H
