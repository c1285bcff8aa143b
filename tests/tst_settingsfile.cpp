// The settings file's text without a window: what each line does, and the bytes written.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/settingsfile.h"
#include "files/viewfile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(Settings)

// Failure messages show the whole value.
char *toString(const Settings &s)
{
    const QString text = QStringLiteral("ip %1, port %2, enabled %3, seconds %4, %5,%6 %7x%8, [%9]")
                             .arg(s.serverIp.toString())
                             .arg(s.serverPort)
                             .arg(s.timeoutEnabled)
                             .arg(s.timeoutValue)
                             .arg(s.geometry.x())
                             .arg(s.geometry.y())
                             .arg(s.geometry.width())
                             .arg(s.geometry.height())
                             .arg(s.tabCaptions.join(QLatin1Char('|')));
    return qstrdup(text.toUtf8().constData());
}

class SettingsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void readingKeepsWhatTheFileDoesNotSay();
    void writing_data();
    void writing();
    void writtenTextReadsBackTheSame();
    void savingReplacesTheFileOrNothing();
    void viewFile_data();
    void viewFile();
};

namespace {

Settings changed(const std::function<void(Settings &)> &change)
{
    Settings settings;
    change(settings);
    return settings;
}

} // namespace

void SettingsFileTest::reading_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Settings>("expected");
    QTest::newRow("nothing") << QByteArray() << Settings();
    QTest::newRow("comments and blanks only")
        << QByteArray("# serverPort = 5\n\n   \n\t# x\n") << Settings();
    QTest::newRow("every key") << QByteArray("serverIp = ::1\nserverPort = 5000\n"
                                             "timeoutEnabled = 0\ntimeoutValue = 30\n"
                                             "windowX = 10\nwindowY = 20\nwindowW = 300\n"
                                             "windowH = 200\ntab1caption = a\n"
                                             "tab2caption = b\ntab3caption = c\n"
                                             "tab4caption = d\n")
                               << changed([](Settings &s) {
                                      s.serverIp = QHostAddress(QStringLiteral("::1"));
                                      s.serverPort = 5000;
                                      s.timeoutEnabled = false;
                                      s.timeoutValue = 30;
                                      s.geometry = QRect(10, 20, 300, 200);
                                      s.tabCaptions = QStringList({"a", "b", "c", "d"});
                                  });
    QTest::newRow("text that is no address")
        << QByteArray("serverIp = localhost\n")
        << changed([](Settings &s) { s.serverIp = QHostAddress(); });
    QTest::newRow("port keeps its low 16 bits")
        << QByteArray("serverPort = 131073\n") << changed([](Settings &s) { s.serverPort = 1; });
    QTest::newRow("negative seconds")
        << QByteArray("timeoutValue = -3\n") << changed([](Settings &s) { s.timeoutValue = -3; });
    QTest::newRow("carriage returns anywhere")
        << QByteArray("tab1caption = a\rb\r\n\rtimeoutValue = 4\r") << changed([](Settings &s) {
               s.tabCaptions[0] = QStringLiteral("ab");
               s.timeoutValue = 4;
           });
    QTest::newRow("caption beyond ASCII")
        << QByteArray("tab3caption = A\xc3\xb1o\n")
        << changed([](Settings &s) { s.tabCaptions[2] = QStringLiteral("Año"); });
    QTest::newRow("a negative size has no extent")
        << QByteArray("windowW = -5\nwindowH = 0\n")
        << changed([](Settings &s) { s.geometry = QRect(50, 50, 0, 0); });
    QTest::newRow("edges beyond any screen")
        << QByteArray("windowX = -2147483648\nwindowY = 2147483647\nwindowW = 2147483647\n")
        << changed([](Settings &s) { s.geometry = QRect(-16777215, 16777215, 16777215, 0); });
    QTest::newRow("width from the left edge of its line")
        << QByteArray("windowX = 0\nwindowW = 100\nwindowX = 40\n")
        << changed([](Settings &s) { s.geometry = QRect(40, 50, 60, 400); });
}

void SettingsFileTest::reading()
{
    QFETCH(QByteArray, text);
    QFETCH(Settings, expected);
    QCOMPARE(settingsFromText(text), expected);
}

void SettingsFileTest::readingKeepsWhatTheFileDoesNotSay()
{
    Settings start;
    start.serverPort = 4000;
    start.tabCaptions = QStringList({"w", "x", "y", "z"});
    start.geometry = QRect(1, 2, 3, 4);
    const Settings read = settingsFromText("tab2caption = B\n", start);
    QCOMPARE(read.serverPort, quint16(4000));
    QCOMPARE(read.tabCaptions, QStringList({"w", "B", "y", "z"}));
    // The window's place comes from the file alone.
    QCOMPARE(read.geometry, QRect(50, 50, 700, 400));
}

void SettingsFileTest::writing_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("defaults") << Settings()
                              << QByteArrayList({"serverIp = 127.0.0.1", "serverPort = 1947",
                                                 "timeoutEnabled = 1", "timeoutValue = 2",
                                                 "windowX = 50", "windowY = 50", "windowW = 700",
                                                 "windowH = 400", "tab1caption = Log 1",
                                                 "tab2caption = Log 2", "tab3caption = Log 3",
                                                 "tab4caption = Log4"});
    QTest::newRow("no address, option off, negative numbers")
        << changed([](Settings &s) {
               s.serverIp = QHostAddress();
               s.timeoutEnabled = false;
               s.timeoutValue = -7;
               s.geometry = QRect(-1280, -5, 640, 480);
           })
        << QByteArrayList({"serverIp = ", "serverPort = 1947", "timeoutEnabled = 0",
                           "timeoutValue = -7", "windowX = -1280", "windowY = -5", "windowW = 640",
                           "windowH = 480", "tab1caption = Log 1", "tab2caption = Log 2",
                           "tab3caption = Log 3", "tab4caption = Log4"});
    QTest::newRow("captions: line breaks, missing, extra")
        << changed([](Settings &s) {
               s.serverIp = QHostAddress(QStringLiteral("::1"));
               s.tabCaptions = QStringList({"a\nb", "c\r\nd"});
           })
        << QByteArrayList({"serverIp = ::1", "serverPort = 1947", "timeoutEnabled = 1",
                           "timeoutValue = 2", "windowX = 50", "windowY = 50", "windowW = 700",
                           "windowH = 400", "tab1caption = a b", "tab2caption = c  d",
                           "tab3caption = Log 3", "tab4caption = Log4"});
    // UTF-8 whatever the locale, and the same bytes on Qt 5 and Qt 6: half a surrogate pair
    // has no UTF-8 form and is written as "?" (Qt 6's text streams would write U+FFFD).
    QTest::newRow("captions: UTF-8, half a surrogate pair")
        << changed([](Settings &s) {
               s.tabCaptions = QStringList({QStringLiteral("A\u00f1o \u20ac"),
                                            QString(QChar(0xdc00)) + QLatin1Char('z'),
                                            QString(QChar(0xd800)), QStringLiteral("\U0001F600")});
           })
        << QByteArrayList({"serverIp = 127.0.0.1", "serverPort = 1947", "timeoutEnabled = 1",
                           "timeoutValue = 2", "windowX = 50", "windowY = 50", "windowW = 700",
                           "windowH = 400", "tab1caption = A\xc3\xb1o \xe2\x82\xac",
                           "tab2caption = ?z", "tab3caption = ?",
                           "tab4caption = \xf0\x9f\x98\x80"});
}

void SettingsFileTest::writing()
{
    QFETCH(Settings, settings);
    QFETCH(QByteArrayList, lines);
    const QByteArray text = settingsText(settings);
    const int headerEnd = text.indexOf("\n\n") + 2;
    QCOMPARE(headerEnd, 275);
    QVERIFY(text.startsWith("# Corvane config file.\n# Default values:\n"));
    QCOMPARE(text.mid(headerEnd), lines.join('\n') + '\n');
}

void SettingsFileTest::writtenTextReadsBackTheSame()
{
    Settings settings;
    settings.serverIp = QHostAddress(QStringLiteral("fe80::1"));
    settings.serverPort = 0;
    settings.timeoutEnabled = false;
    settings.timeoutValue = 99999;
    settings.geometry = QRect(-3, 7, 1, 2);
    settings.tabCaptions = QStringList({"C# log", "", " spaced ", "Día"});
    Settings expected = settings;
    expected.tabCaptions[2] = QStringLiteral("spaced"); // values are trimmed
    QCOMPARE(settingsFromText(settingsText(settings)), expected);
}

void SettingsFileTest::savingReplacesTheFileOrNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config"));
    Settings settings;
    settings.serverPort = 1234;
    QCOMPARE(writeSettingsFile(path, settings), QString());
    QCOMPARE(readSettingsFile(path), settings);
    settings.serverPort = 4321;
    QCOMPARE(writeSettingsFile(path, settings), QString());
    QCOMPARE(readSettingsFile(path).serverPort, quint16(4321));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"config"}));

    QVERIFY(!writeSettingsFile(dir.filePath(QStringLiteral("missing/config")), settings).isEmpty());
    // A directory where the file should be is no file to read.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir")));
    Settings start;
    start.timeoutValue = 8;
    QCOMPARE(readSettingsFile(dir.filePath(QStringLiteral("dir")), start), start);
}

// The View menu's choices in ~/.corvane/view.json: what each file reads as, and the same
// choices after writing them and reading them back.
void SettingsFileTest::viewFile_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("choices"); // the letters of those on: t, p, s
    QTest::newRow("no file") << QByteArray() << "";
    QTest::newRow("all off") << QByteArray(R"({"showTimes":false,"timeSincePrevious":false})")
                             << "";
    QTest::newRow("times and senders")
        << QByteArray(R"({"showTimes":true,"showSenders":true})") << "ts";
    QTest::newRow("both times: the time since the previous")
        << QByteArray(R"({"showTimes":true,"timeSincePrevious":true})") << "p";
    QTest::newRow("not booleans") << QByteArray(R"({"showTimes":"true","showSenders":1})") << "";
    QTest::newRow("other members ignored") << QByteArray(R"({"showSenders":true,"zoom":3})") << "s";
    QTest::newRow("no JSON object") << QByteArray(R"([true,true,true])") << "";
    QTest::newRow("broken") << QByteArray(R"({"showTimes":true)") << "";
}

void SettingsFileTest::viewFile()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, choices);
    const auto letters = [](const ViewChoices &c) {
        return QString(c.times ? "t" : "") + (c.sincePrevious ? "p" : "") + (c.senders ? "s" : "");
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("view.json");
    if (!json.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(json);
    }
    const ViewChoices read = readViewFile(path);
    QCOMPARE(letters(read), choices);
    QCOMPARE(writeViewFile(path, read), QString());
    QCOMPARE(readViewFile(path), read);
    // A directory where the file should be reads as nothing on, and cannot be written.
    QVERIFY(QDir(dir.path()).mkdir("dir.json"));
    QCOMPARE(letters(readViewFile(dir.filePath("dir.json"))), QString());
    QVERIFY(!writeViewFile(dir.filePath("dir.json"), read).isEmpty());
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
