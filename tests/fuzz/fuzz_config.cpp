// Arbitrary bytes as the settings file. A window reads it when built and writes it when
// destroyed; a second window must read that file back to the same settings and write the
// very same bytes again.

#include "mainwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

TestHome *home = nullptr;

// Everything of the settings that a user can see in the window.
struct Seen
{
    QString serverIp;
    int serverPort = 0;
    bool timeoutEnabled = false;
    int timeoutValue = 0;
    QRect geometry;
    // The tabs show the captions once the listener is up. Whether a bind succeeds depends on
    // who else holds that port just then, so titles are compared only when both listened.
    bool listening = false;
    QStringList tabTitles;

    bool operator==(const Seen &other) const
    {
        return serverIp == other.serverIp && serverPort == other.serverPort
            && timeoutEnabled == other.timeoutEnabled && timeoutValue == other.timeoutValue
            && geometry == other.geometry
            && (!listening || !other.listening || tabTitles == other.tabTitles);
    }
};

Seen seen(const MainWindow &window)
{
    Seen s;
    s.serverIp = window.findChild<QLineEdit *>(QStringLiteral("uiServerIp"))->text();
    s.serverPort = window.findChild<QSpinBox *>(QStringLiteral("uiServerPort"))->value();
    s.timeoutEnabled =
        window.findChild<QCheckBox *>(QStringLiteral("uiTimeoutEnabled"))->isChecked();
    s.timeoutValue = window.findChild<QSpinBox *>(QStringLiteral("uiTimeoutValue"))->value();
    s.geometry = window.geometry();
    s.listening = window.findChild<QLabel *>(QStringLiteral("uiStatusText"))
                      ->text()
                      .startsWith(QLatin1String("Listening"));
    const auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    for (int index = 0; index < tabs->count(); ++index)
        s.tabTitles.append(tabs->tabText(index));
    return s;
}

// Builds a window over the current settings file and destroys it again. The window stays
// hidden: a shown window is placed by the platform, which may nudge it (the offscreen
// platform moves a window at x or y below 2 by its frame margin on every show), and that is
// no business of the reader and writer under test here.
Seen roundTrip()
{
    MainWindow window;
    QCoreApplication::processEvents();
    return seen(window);
}

void fail(const char *what, const QByteArray &first, const QByteArray &second)
{
    std::fprintf(stderr, "%s\n--- first ---\n%s\n--- second ---\n%s\n", what,
                 first.toPercentEncoding(" =#\n").constData(),
                 second.toPercentEncoding(" =#\n").constData());
    std::abort();
}

QByteArray describe(const Seen &s)
{
    return QStringLiteral("%1 %2 %3 %4 %5,%6 %7x%8 [%9]")
        .arg(s.serverIp)
        .arg(s.serverPort)
        .arg(s.timeoutEnabled)
        .arg(s.timeoutValue)
        .arg(s.geometry.x())
        .arg(s.geometry.y())
        .arg(s.geometry.width())
        .arg(s.geometry.height())
        .arg(s.tabTitles.join(QLatin1Char('|')))
        .toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char *argv[] = {name, nullptr};
    // Never destroyed: Qt tears down its own state at exit, after statics would be gone.
    new QApplication(argc, argv);
    home = new TestHome;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    home->writeConfig(QByteArray(reinterpret_cast<const char *>(data), int(size)));

    const Seen first = roundTrip();
    const QByteArray written = home->readConfig();
    if (!QFileInfo(home->configPath()).isFile() || written.isEmpty())
        fail("the settings file was lost", written, QByteArray());

    const Seen second = roundTrip();
    const QByteArray rewritten = home->readConfig();
    if (rewritten != written)
        fail("writing the settings again changed the file", written, rewritten);
    if (!(second == first))
        fail("the settings read back differ from those written", describe(first), describe(second));
    return 0;
}
