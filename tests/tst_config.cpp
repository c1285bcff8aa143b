// Tests of ~/.corvane/config through the window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

// ~/.corvane/config as a user keeps it: what the viewer writes at exit, byte for byte, and how
// it reads what a user wrote by hand.
class ConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void firstExitWritesTheDefaultFile();
    void everySettingSurvivesARestart();
    void readerRules_data();
    void readerRules();
    void onlyAppliedAddressIsSaved();
    void movedWindowIsSavedAndRestored();
    void captionLineBreaksCannotAddSettings();
    void failedWriteKeepsTheOldFile();
    void settingsPathThatIsAFile();
    void readOnlySettingsDirectory();
};

static const char defaultFile[] = "# Corvane config file.\n"
                                  "# Default values:\n"
                                  "# serverIp = 127.0.0.1\n"
                                  "# serverPort = 1947\n"
                                  "# timeoutEnabled = 1\n"
                                  "# timeoutValue = 2\n"
                                  "# windowX = 50\n"
                                  "# windowY = 50\n"
                                  "# windowW = 700\n"
                                  "# windowH = 400\n"
                                  "# tab1caption = Log 1\n"
                                  "# tab2caption = Log 2\n"
                                  "# tab3caption = Log 3\n"
                                  "# tab4caption = Log 4\n"
                                  "\n"
                                  "serverIp = 127.0.0.1\n"
                                  "serverPort = 1947\n"
                                  "timeoutEnabled = 1\n"
                                  "timeoutValue = 2\n"
                                  "windowX = 50\n"
                                  "windowY = 50\n"
                                  "windowW = 700\n"
                                  "windowH = 400\n"
                                  "tab1caption = Log 1\n"
                                  "tab2caption = Log 2\n"
                                  "tab3caption = Log 3\n"
                                  "tab4caption = Log4\n";

// The header that the viewer writes in front of the settings.
static QByteArray header()
{
    const QByteArray all(defaultFile);
    return all.left(all.indexOf("\n\n") + 2);
}

void ConfigTest::firstExitWritesTheDefaultFile()
{
    TestHome home;
    QVERIFY(!QFileInfo::exists(home.configDir()));
    {
        // Every setting at its default, port 1947 included, whether that bind succeeds or not.
        MainWindow window;
        QVERIFY(QFileInfo(home.configDir()).isDir());
        QVERIFY(!QFileInfo::exists(home.configPath()));
    }
    const QByteArray written = home.readConfig();
    QCOMPARE(written, QByteArray(defaultFile));
}

void ConfigTest::everySettingSurvivesARestart()
{
    TestHome home;
    const quint16 port = freeUdpPort();
    const QByteArray file = header() + "serverIp = 127.0.0.1\n"
        + "serverPort = " + QByteArray::number(port) + "\n"
        + "timeoutEnabled = 0\n"
          "timeoutValue = 7\n"
          "windowX = -1280\n"
          "windowY = 30\n"
          "windowW = 640\n"
          "windowH = 480\n"
          "tab1caption = Net\n"
          "tab2caption = C# log\n"
          "tab3caption = \n"
          "tab4caption = Log 4\n";
    home.writeConfig(file);
    for (int run = 0; run < 2; ++run) {
        {
            MainWindow window;
            const WindowWidgets w(window);
            QVERIFY(w.complete());
            QCOMPARE(w.serverIp->text(), QStringLiteral("127.0.0.1"));
            QCOMPARE(w.serverPort->value(), int(port));
            QVERIFY(!w.timeoutEnabled->isChecked());
            QCOMPARE(w.timeoutValue->value(), 7);
            QCOMPARE(window.geometry(), QRect(-1280, 30, 640, 480));
            QCOMPARE(w.tabTitles(), QStringList({"Net", "C# log", "", "Log 4"}));
            QCOMPARE(w.statusText->text(), QStringLiteral("Listening at 127.0.0.1:%1").arg(port));
        }
        QCOMPARE(home.readConfig(), file);
    }

    // A caption beyond ASCII comes back as it was.
    {
        MainWindow window;
        QVERIFY(sendDatagram(port, message({"Red", "Día", "Año", "Ünï"}, "x")));
        const WindowWidgets w(window);
        QTRY_COMPARE(w.tabs->tabText(1), QStringLiteral("Día"));
    }
    MainWindow window;
    const WindowWidgets w(window);
    QCOMPARE(w.tabTitles(), QStringList({"Red", "Día", "Año", "Ünï"}));
}

void ConfigTest::readerRules_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArrayList>("written");
    // "@PORT@" stands for the free port that the test writes in front of the lines.
    QTest::newRow("key in capitals")
        << QByteArray("SERVERPORT=1234\n") << QByteArrayList({"serverPort = 1234"});
    QTest::newRow("blanks around key and value")
        << QByteArray("  serverPort   =   1234  \n\t timeoutValue\t=\t9\t\n")
        << QByteArrayList({"serverPort = 1234", "timeoutValue = 9"});
    QTest::newRow("keys in mixed case")
        << QByteArray("TimeoutValue = 9\nTAB1Caption = x\nWINDOWx = 60\n")
        << QByteArrayList({"timeoutValue = 9", "tab1caption = x", "windowX = 60"});
    QTest::newRow("comment after blanks")
        << QByteArray("  # serverPort = 1234\n#timeoutValue=5\n")
        << QByteArrayList({"serverPort = @PORT@", "timeoutValue = 2"});
    QTest::newRow("hash inside a value")
        << QByteArray("tab1caption = C# log\n") << QByteArrayList({"tab1caption = C# log"});
    QTest::newRow("no equals sign") << QByteArray("serverPort\ntimeoutValue 5\n")
                                    << QByteArrayList({"serverPort = @PORT@", "timeoutValue = 2"});
    QTest::newRow("two equals signs")
        << QByteArray("tab1caption = first\ntab1caption = a=b\ntimeoutValue = 5 = 6\n")
        << QByteArrayList({"tab1caption = first", "timeoutValue = 2"});
    QTest::newRow("empty key") << QByteArray("= 5\n = 6\n") << QByteArrayList({"timeoutValue = 2"});
    QTest::newRow("unknown key") << QByteArray("colour = red\ntab5caption = x\n")
                                 << QByteArrayList({"tab4caption = Log4"});
    QTest::newRow("empty caption")
        << QByteArray("tab2caption =\n") << QByteArrayList({"tab2caption = "});
    QTest::newRow("empty port") << QByteArray("serverPort =\n")
                                << QByteArrayList({"serverPort = 0"});
    QTest::newRow("port with letters")
        << QByteArray("serverPort = 1947abc\n") << QByteArrayList({"serverPort = 0"});
    // No address, so these ports are never bound.
    QTest::newRow("port too large") << QByteArray("serverIp = none\nserverPort = 70000\n")
                                    << QByteArrayList({"serverIp = ", "serverPort = 4464"});
    QTest::newRow("negative port") << QByteArray("serverIp = none\nserverPort = -1\n")
                                   << QByteArrayList({"serverIp = ", "serverPort = 65535"});
    QTest::newRow("address") << QByteArray(" SERVERIP = 127.0.0.2 \n")
                             << QByteArrayList({"serverIp = 127.0.0.2"});
    QTest::newRow("flag true") << QByteArray("timeoutEnabled = true\n")
                               << QByteArrayList({"timeoutEnabled = 0"});
    QTest::newRow("flag 2") << QByteArray("timeoutEnabled = 2\n")
                            << QByteArrayList({"timeoutEnabled = 0"});
    QTest::newRow("flag 01") << QByteArray("timeoutEnabled = 01\n")
                             << QByteArrayList({"timeoutEnabled = 0"});
    QTest::newRow("flag empty") << QByteArray("timeoutEnabled =\n")
                                << QByteArrayList({"timeoutEnabled = 0"});
    QTest::newRow("flag 1 again") << QByteArray("timeoutEnabled = 0\ntimeoutEnabled = 1\n")
                                  << QByteArrayList({"timeoutEnabled = 1"});
    QTest::newRow("last line wins") << QByteArray("timeoutValue = 5\ntimeoutValue = 6\n")
                                    << QByteArrayList({"timeoutValue = 6"});
    QTest::newRow("word for a number")
        << QByteArray("timeoutValue = five\n") << QByteArrayList({"timeoutValue = 0"});
    QTest::newRow("hex number") << QByteArray("timeoutValue = 0x10\n")
                                << QByteArrayList({"timeoutValue = 0"});
    QTest::newRow("number out of range")
        << QByteArray("timeoutValue = 99999999999\n") << QByteArrayList({"timeoutValue = 0"});
    QTest::newRow("CR LF line ends")
        << QByteArray("timeoutValue = 8\r\ntab1caption = x\r\n\r\ntimeoutEnabled = 1\r\n")
        << QByteArrayList({"timeoutValue = 8", "tab1caption = x", "timeoutEnabled = 1"});
    QTest::newRow("geometry in written order")
        << QByteArray("windowX = -1280\nwindowY = 20\nwindowW = 640\nwindowH = 300\n")
        << QByteArrayList({"windowX = -1280", "windowY = 20", "windowW = 640", "windowH = 300"});
    QTest::newRow("x after width") << QByteArray("windowW = 700\nwindowX = 100\n")
                                   << QByteArrayList({"windowX = 100", "windowW = 650"});
    QTest::newRow("y after height") << QByteArray("windowH = 300\nwindowY = 100\n")
                                    << QByteArrayList({"windowY = 100", "windowH = 250"});
    QTest::newRow("width after x") << QByteArray("windowX = 100\nwindowW = 300\n")
                                   << QByteArrayList({"windowX = 100", "windowW = 300"});
}

void ConfigTest::readerRules()
{
    QFETCH(QByteArray, lines);
    QFETCH(QByteArrayList, written);
    TestHome home;
    const QByteArray port = QByteArray::number(home.useFreePort(lines));
    {
        MainWindow window;
    }
    const QByteArray file = home.readConfig();
    QVERIFY(file.startsWith(header()));
    QCOMPARE(file.count('\n'), 27);
    QVERIFY(!file.contains('\r'));
    for (QByteArray line : written) {
        line.replace("@PORT@", port);
        QVERIFY2(file.contains("\n" + line + "\n"), line.constData());
    }
}

void ConfigTest::onlyAppliedAddressIsSaved()
{
    TestHome home;
    home.useFreePort();
    const quint16 applied = freeUdpPort();
    {
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(w.complete());
        w.serverPort->setValue(applied);
        w.serverIp->setText(QStringLiteral("127.0.0.2"));
        w.clickRestart();
        QCOMPARE(w.statusText->text(), QStringLiteral("Listening at 127.0.0.2:%1").arg(applied));
        // Typed, never applied.
        w.serverIp->setText(QStringLiteral("127.0.0.3"));
        w.serverPort->setValue(applied + 1);
    }
    const QByteArray file = home.readConfig();
    QVERIFY(file.contains("\nserverIp = 127.0.0.2\nserverPort = " + QByteArray::number(applied)
                          + "\n"));
}

void ConfigTest::movedWindowIsSavedAndRestored()
{
    TestHome home;
    home.useFreePort();
    {
        MainWindow window;
        window.setGeometry(-1280, -20, 900, 333);
    }
    QVERIFY(home.readConfig().contains(
        "\nwindowX = -1280\nwindowY = -20\nwindowW = 900\nwindowH = 333\n"));
    MainWindow window;
    QCOMPARE(window.geometry(), QRect(-1280, -20, 900, 333));
}

void ConfigTest::captionLineBreaksCannotAddSettings()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    {
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(sendDatagram(
            port,
            message({"one\nserverIp = 0.0.0.0", "two\r\nlines", "three\rparts", "four\n"}, "x")));
        QTRY_COMPARE(w.tabs->tabText(0), QStringLiteral("one\nserverIp = 0.0.0.0 (1)"));
    }
    const QByteArray file = home.readConfig();
    QCOMPARE(file.count('\n'), 27);
    QVERIFY(!file.contains('\r'));
    QVERIFY(file.contains("\ntab1caption = one serverIp = 0.0.0.0\n"));
    QVERIFY(file.contains("\ntab2caption = two  lines\n"));
    QVERIFY(file.contains("\ntab3caption = three parts\n"));
    QVERIFY(file.endsWith("\ntab4caption = four \n"));

    // At the next start the caption with "=" in it is dropped, and the address stays.
    MainWindow window;
    const WindowWidgets w(window);
    QCOMPARE(w.serverIp->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(w.tabTitles(), QStringList({"Log 1", "two  lines", "three parts", "four"}));
}

void ConfigTest::failedWriteKeepsTheOldFile()
{
    TestHome home;
    home.useFreePort("tab1caption = old\n");
    const QByteArray old = home.readConfig();
    const QStringList before = QDir(home.configDir()).entryList(QDir::AllEntries | QDir::Hidden);

    // Let no file grow beyond a few bytes, as on a full disk: the new text cannot be written.
    rlimit previous {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    MessageCatcher printed;
    {
        MainWindow window;
        rlimit tight = previous;
        tight.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    }
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &previous), 0);
    std::signal(SIGXFSZ, previousHandler);
    // The user is told, with the file and the system's reason.
    const QString said = printed.messages().join(QLatin1Char('\n'));
    QVERIFY2(said.contains(home.configPath())
                 && said.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(said));

    QCOMPARE(home.readConfig(), old);
    QCOMPARE(QDir(home.configDir()).entryList(QDir::AllEntries | QDir::Hidden), before);
}

void ConfigTest::settingsPathThatIsAFile()
{
    TestHome home;
    const QByteArray content = "serverPort = 1\n";
    {
        QFile file(home.configDir());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    {
        // Nothing can be read or written under it; the window still runs on the defaults.
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(w.complete());
        QCOMPARE(window.geometry(), QRect(50, 50, 700, 400));
        QCOMPARE(w.serverPort->value(), 1947);
    }
    QVERIFY(QFileInfo(home.configDir()).isFile());
    QFile file(home.configDir());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

void ConfigTest::readOnlySettingsDirectory()
{
    if (geteuid() == 0)
        QSKIP("permissions do not stop root");
    TestHome home;
    home.useFreePort();
    const QByteArray old = home.readConfig();
    QFile::setPermissions(home.configDir(), QFile::ReadOwner | QFile::ExeOwner);
    {
        MainWindow window;
    }
    QFile::setPermissions(home.configDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(home.readConfig(), old);
}

QTEST_MAIN(ConfigTest)
#include "tst_config.moc"
