// What the tests share: a temporary HOME, free ports, datagrams and the window's widgets.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "panes/sharedparagraphs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

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

WindowWidgets::WindowWidgets(const QWidget &window)
    : serverIp(window.findChild<QLineEdit *>(QStringLiteral("uiServerIp"))),
      serverPort(window.findChild<QSpinBox *>(QStringLiteral("uiServerPort"))),
      restart(window.findChild<QPushButton *>(QStringLiteral("uiRestart"))),
      timeoutEnabled(window.findChild<QCheckBox *>(QStringLiteral("uiTimeoutEnabled"))),
      timeoutValue(window.findChild<QSpinBox *>(QStringLiteral("uiTimeoutValue"))),
      clearNow(window.findChild<QPushButton *>(QStringLiteral("uiClearNow"))),
      tabs(window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))),
      logs {window.findChild<QTextEdit *>(QStringLiteral("uiLog1")),
            window.findChild<QTextEdit *>(QStringLiteral("uiLog2")),
            window.findChild<QTextEdit *>(QStringLiteral("uiLog3")),
            window.findChild<QTextEdit *>(QStringLiteral("uiLog4"))},
      statusIcon(window.findChild<QLabel *>(QStringLiteral("uiStatusIcon"))),
      statusText(window.findChild<QLabel *>(QStringLiteral("uiStatusText")))
{ }

bool WindowWidgets::complete() const
{
    for (QTextEdit *log : logs) {
        if (!log)
            return false;
    }
    return serverIp && serverPort && restart && timeoutEnabled && timeoutValue && clearNow && tabs
        && tabs->count() == 4 && statusIcon && statusText;
}

QStringList WindowWidgets::tabTitles() const
{
    QStringList titles;
    for (int index = 0; index < tabs->count(); ++index)
        titles.append(tabs->tabText(index));
    return titles;
}

QStringList WindowWidgets::paneTexts() const
{
    QStringList texts;
    for (QTextEdit *log : logs)
        texts.append(log->toPlainText());
    return texts;
}

void WindowWidgets::clickRestart() const
{
    QTest::mouseClick(restart, Qt::LeftButton);
}

void WindowWidgets::clickClearNow() const
{
    QTest::mouseClick(clearNow, Qt::LeftButton);
}

bool labelShowsImage(const QLabel *label, const QString &resourcePath)
{
    const QImage expected = QPixmap(resourcePath).toImage();
    if (!label || expected.isNull())
        return false;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QPixmap shown = label->pixmap(); // by value; Qt 6.6 deprecates the Qt 5 overload
#else
    const QPixmap shown = label->pixmap(Qt::ReturnByValue); // pixmap() is a pointer on Qt 5
#endif
    return shown.toImage() == expected;
}

namespace {

QStringList caughtMessages;

void catchMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    caughtMessages.append(text);
}

} // namespace

MessageCatcher::MessageCatcher()
{
    caughtMessages.clear();
    previous = qInstallMessageHandler(catchMessage);
}

MessageCatcher::~MessageCatcher()
{
    qInstallMessageHandler(previous);
}

QStringList MessageCatcher::messages() const
{
    return caughtMessages;
}

QString lineAt(const QTextCursor &cursor)
{
    const QString paragraph = cursor.block().text();
    const int at = cursor.positionInBlock();
    const int start = at > 0 ? paragraph.lastIndexOf(QChar::LineSeparator, at - 1) + 1 : 0;
    const int end = paragraph.indexOf(QChar::LineSeparator, at);
    return paragraph.mid(start, end < 0 ? -1 : end - start);
}

QString htmlWithAParagraphPerLine(const QTextDocument *document)
{
    const std::unique_ptr<QTextDocument> copy(document->clone());
    QTextCursor separator(copy.get());
    while (!(separator = copy->find(QString(QChar::LineSeparator), separator)).isNull()) {
        const QTextCharFormat format = separator.charFormat();
        separator.removeSelectedText();
        separator.insertBlock(separator.blockFormat(), format);
    }
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next())
        QTextCursor(block).setBlockFormat(withoutEvenLines(block.blockFormat()));
    return copy->toHtml();
}
