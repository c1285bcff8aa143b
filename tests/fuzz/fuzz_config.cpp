// Arbitrary bytes as the settings file: the settings read from them must write a file that
// reads back to the very same settings and writes the very same bytes again.
// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/settingsfile.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray describe(const Settings &s)
{
    return QStringLiteral("%1 %2 %3 %4 %5,%6 %7x%8 [%9]")
        .arg(s.serverIp.toString())
        .arg(s.serverPort)
        .arg(s.timeoutEnabled)
        .arg(s.timeoutValue)
        .arg(s.geometry.x())
        .arg(s.geometry.y())
        .arg(s.geometry.width())
        .arg(s.geometry.height())
        .arg(s.tabCaptions.join(QLatin1Char('|')))
        .toUtf8();
}

void fail(const char *what, const QByteArray &first, const QByteArray &second)
{
    std::fprintf(stderr, "%s\n--- first ---\n%s\n--- second ---\n%s\n", what,
                 first.toPercentEncoding(" =#|\n").constData(),
                 second.toPercentEncoding(" =#|\n").constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The file's encoding is the locale's, as the program has it with an application object.
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Settings first =
        settingsFromText(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const QByteArray written = settingsText(first);
    const Settings second = settingsFromText(written);
    if (settingsText(second) != written)
        fail("writing the settings again changed the file", written, settingsText(second));
    if (second != first)
        fail("the settings read back differ from those written", describe(first), describe(second));
    return 0;
}
