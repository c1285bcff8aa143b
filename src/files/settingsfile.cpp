// The viewer's settings file: its text, read and written without any window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/settingsfile.h"

#include "files/atomicfile.h"
#include "protocol/panes.h"
#include "app/qtcompat.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// A settings file is a few hundred bytes; anything beyond this is not ours to read.
const qint64 maxFileBytes = 1024 * 1024;

// Window positions and sizes beyond this are no real screen's; it keeps every edge of the
// window, and its extent, well inside the toolkit's int coordinates.
const qint64 maxWindowCoordinate = 16777215;

const QRect defaultGeometry(50, 50, 700, 400);

const char header[] = "# Corvane config file.\n"
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
                      "\n";

QString singleLine(QString text)
{
    // Each setting is one line: a line break inside a caption must not start a new setting.
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

Settings::Settings()
    : serverIp(QHostAddress::LocalHost),
      serverPort(1947),
      timeoutEnabled(true),
      timeoutValue(2),
      geometry(defaultGeometry)
{
    for (int pane = 0; pane < paneCount; ++pane)
        tabCaptions.append(defaultCaption(pane));
}

bool Settings::operator==(const Settings &other) const
{
    return serverIp == other.serverIp && serverPort == other.serverPort
        && timeoutEnabled == other.timeoutEnabled && timeoutValue == other.timeoutValue
        && geometry == other.geometry && tabCaptions == other.tabCaptions;
}

Settings settingsFromText(const QByteArray &text, const Settings &start)
{
    Settings settings = start;
    // The window's edges, as the lines move them: a width moves the right edge from wherever
    // the left one is at that line, so the order of the lines matters.
    qint64 left = defaultGeometry.left(), top = defaultGeometry.top();
    qint64 right = defaultGeometry.right(), bottom = defaultGeometry.bottom();

    // Carriage returns go wherever they stand, as a text-mode read of the file drops them: a
    // file with CR LF line ends reads like one with LF.
    QByteArray lines = text;
    lines.replace('\r', QByteArray());
    QTextStream in(&lines, QIODevice::ReadOnly);
    corvane::useUtf8(in);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('='));
        if (parts.size() != 2)
            continue;
        const QString key = parts.at(0).trimmed().toLower();
        const QString value = parts.at(1).trimmed();
        const int number = value.toInt(nullptr, 10);

        if (key == QLatin1String("serverip")) {
            settings.serverIp.setAddress(value);
        } else if (key == QLatin1String("serverport")) {
            settings.serverPort = quint16(number);
        } else if (key == QLatin1String("timeoutvalue")) {
            settings.timeoutValue = number;
        } else if (key == QLatin1String("timeoutenabled")) {
            settings.timeoutEnabled = value == QLatin1String("1");
        } else if (key == QLatin1String("windowx")) {
            left = number;
        } else if (key == QLatin1String("windowy")) {
            top = number;
        } else if (key == QLatin1String("windoww")) {
            right = left + number - 1;
        } else if (key == QLatin1String("windowh")) {
            bottom = top + number - 1;
        } else {
            for (int pane = 0; pane < paneCount; ++pane) {
                if (key == QStringLiteral("tab%1caption").arg(pane + 1))
                    settings.tabCaptions[pane] = value;
            }
        }
    }

    // The edges as the file gives them, within what a screen can have: an edge or an extent
    // beyond int would wrap around inside the toolkit.
    const qint64 x = qBound(-maxWindowCoordinate, left, maxWindowCoordinate);
    const qint64 y = qBound(-maxWindowCoordinate, top, maxWindowCoordinate);
    const qint64 width = qBound<qint64>(0, right - left + 1, maxWindowCoordinate);
    const qint64 height = qBound<qint64>(0, bottom - top + 1, maxWindowCoordinate);
    settings.geometry = QRect(int(x), int(y), int(width), int(height));
    return settings;
}

QByteArray settingsText(const Settings &settings)
{
    const QRect &geometry = settings.geometry;
    QString text = QLatin1String(header);
    text += QLatin1String("serverIp = ") + settings.serverIp.toString() + QLatin1Char('\n');
    text +=
        QLatin1String("serverPort = ") + QString::number(settings.serverPort) + QLatin1Char('\n');
    text += QLatin1String("timeoutEnabled = ") + QLatin1String(settings.timeoutEnabled ? "1" : "0");
    text += QLatin1String("\ntimeoutValue = ") + QString::number(settings.timeoutValue)
        + QLatin1Char('\n');
    text += QLatin1String("windowX = ") + QString::number(geometry.x()) + QLatin1Char('\n');
    text += QLatin1String("windowY = ") + QString::number(geometry.y()) + QLatin1Char('\n');
    text += QLatin1String("windowW = ") + QString::number(geometry.width()) + QLatin1Char('\n');
    text += QLatin1String("windowH = ") + QString::number(geometry.height()) + QLatin1Char('\n');
    for (int pane = 0; pane < paneCount; ++pane) {
        const QString caption = settings.tabCaptions.value(pane, defaultCaption(pane));
        text += QStringLiteral("tab%1caption = ").arg(pane + 1) + singleLine(caption)
            + QLatin1Char('\n');
    }

    // UTF-8 whatever the locale or the Qt version, as it is read back. A character that has no
    // UTF-8 form (half of a surrogate pair) is written as "?": QString::toUtf8 does so on Qt 5
    // and Qt 6 alike, where Qt 6's text stream would write U+FFFD instead.
    return text.toUtf8();
}

Settings readSettingsFile(const QString &path, const Settings &start)
{
    // Only a regular file is read: a directory has no lines, and a pipe or device named
    // "config" could block or feed the reader for ever.
    QFile file(path);
    QByteArray text;
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
        text = file.read(maxFileBytes);
    return settingsFromText(text, start);
}

QString writeSettingsFile(const QString &path, const Settings &settings)
{
    // The whole file first, then the old one replaced in one step, so a crash or a full disk
    // never leaves half a file behind.
    return writeFileAtomically(path, settingsText(settings));
}
