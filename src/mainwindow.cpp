#include "mainwindow.h"

#include "aboutwindow.h"
#include "datagramjson.h"
#include "logdocument.h"
#include "mainwindowform.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

#include <array>
#include <limits>

namespace {

const int paneCount = 4;

// A drain reads and shows datagrams in chunks of this many, and starts no new chunk once it
// has run this long; then it returns to the event loop, and the socket signals readyRead()
// again on the next turn. So a flood keeps the window painting and answering clicks. A
// datagram costs about 12 us of processor time here, most of it the layout of its text, so
// a drain lasts about 25 ms on an idle core. Smaller chunks paint more often and cost more
// per datagram; larger ones let the longest stall grow past 100 ms on a busy machine.
const int datagramsPerChunk = 256;
const qint64 drainBudgetMs = 20;
// A chunk also ends once it holds this many bytes. One large datagram of markup can take half
// a second to show, so 256 of them in one chunk would freeze the window for two minutes.
const qint64 bytesPerChunk = 64 * 1024;

// Ask the system for a receive buffer that absorbs the bursts between two drains.
const int receiveBufferBytes = 8 * 1024 * 1024;

// A settings file is a few hundred bytes; anything beyond this is not ours to read.
const qint64 maxConfigBytes = 1024 * 1024;

// Qt lays out a table inside a table cell several times for every layout of that cell, so
// layout time doubles with each level of nesting: here 16 levels take about a second, 20
// about 14 s, and a datagram of 1 KB can nest 30. Markup that nests tables deeper than this
// is shown as the plain text it is.
const int maxTableNesting = 6;

// Window positions and sizes beyond this are no real screen's; it keeps every edge of the
// window, and its extent, well inside the toolkit's int coordinates.
const qint64 maxWindowCoordinate = 16777215;

const char configHeader[] = "# Corvane config file.\n"
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

QString defaultCaption(int pane)
{
    // The fourth default has no blank; stored files and users know it that way.
    static const char *const captions[paneCount] = {"Log 1", "Log 2", "Log 3", "Log4"};
    return QString::fromLatin1(captions[pane]);
}

QString textOf(const QJsonValue &value)
{
    return value.isString() ? value.toString() : value.toVariant().toString();
}

QStringList captionsFrom(const QJsonValue &tabs)
{
    QStringList captions;
    if (tabs.isArray()) {
        const QJsonArray array = tabs.toArray();
        captions.reserve(qMax(array.size(), paneCount));
        for (const QJsonValue &entry : array)
            captions.append(textOf(entry));
    } else {
        captions = tabs.toVariant().toStringList();
    }
    // A sender that names fewer than four tabs leaves the others with their default names.
    for (int pane = captions.size(); pane < paneCount; ++pane)
        captions.append(defaultCaption(pane));
    return captions;
}

bool nestsTablesTooDeep(const QString &html)
{
    // Only a table element makes a frame, and its tag has to spell the name out.
    if (!html.contains(QLatin1String("table"), Qt::CaseInsensitive))
        return false;
    // Parsed the way a pane parses it, resources refused alike, but never laid out.
    LogDocument parsed;
    QTextCursor(&parsed).insertHtml(html);
    QVector<QPair<const QTextFrame *, int>> pending;
    pending.append(qMakePair(parsed.rootFrame(), 0));
    while (!pending.isEmpty()) {
        const QPair<const QTextFrame *, int> next = pending.takeLast();
        if (next.second > maxTableNesting)
            return true;
        for (const QTextFrame *child : next.first->childFrames())
            pending.append(qMakePair(child, next.second + 1));
    }
    return false;
}

QString singleLine(QString text)
{
    // Each setting is one line: a line break inside a caption must not start a new setting.
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(new MainWindowForm),
      serverPort(0),
      timeoutEnabled(false),
      timeoutValue(0),
      udpSocket(nullptr),
      clearTimer(nullptr),
      clearPending(false)
{
    ui->setupUi(this);
    for (QTextEdit *log : logPanes()) {
        log->setDocument(new LogDocument(log));
        // Shaping (kerning, ligatures) is a third of the cost of showing a text, and Latin
        // log lines do not need it; scripts that do are still shaped. Without it a datagram
        // costs 30% less processor time, and a flood gets through half as fast again.
        QFont font = log->font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        log->setFont(font);
    }

    configDir = QDir::homePath() + QLatin1String("/.corvane/");
    QDir dir;
    if (!dir.exists(configDir))
        dir.mkdir(configDir);

    serverIp = QHostAddress(QHostAddress::LocalHost);
    serverPort = 1947;
    timeoutEnabled = true;
    timeoutValue = 2;
    logCounts.fill(0, paneCount);
    for (int pane = 0; pane < paneCount; ++pane)
        tabCaptions.append(defaultCaption(pane));

    loadConfig();

    ui->uiServerIp->setText(serverIp.toString());
    ui->uiServerPort->setValue(serverPort);
    ui->uiTimeoutEnabled->setChecked(timeoutEnabled);
    ui->uiTimeoutValue->setValue(timeoutValue);

    setWindowTitle(QLatin1String("Corvane v.") + QLatin1String("1.0"));

    ui->actionE_xit->setShortcut(QKeySequence(QKeySequence::Quit));
    ui->action_About->setShortcut(QKeySequence(QKeySequence::HelpContents));

    connect(ui->uiRestart, SIGNAL(clicked()), this, SLOT(slStartServer()));
    connect(ui->uiTimeoutEnabled, SIGNAL(stateChanged(int)), this, SLOT(slTimeoutChanged(int)));
    connect(ui->uiTimeoutValue, SIGNAL(valueChanged(int)), this, SLOT(slTimeoutChanged(int)));
    connect(ui->uiClearNow, SIGNAL(clicked()), this, SLOT(slClearLogs()));
    connect(ui->actionE_xit, SIGNAL(triggered()), this, SLOT(close()));
    connect(ui->action_About, SIGNAL(triggered()), this, SLOT(slShowAbout()));

    slStartServer();
}

MainWindow::~MainWindow()
{
    saveConfig();
    delete ui;
}

void MainWindow::slStartServer()
{
    delete udpSocket;
    udpSocket = nullptr;
    if (clearTimer) {
        clearTimer->stop();
        delete clearTimer;
        clearTimer = nullptr;
    }

    udpSocket = new QUdpSocket(this);
    serverIp = QHostAddress(ui->uiServerIp->text());
    serverPort = quint16(ui->uiServerPort->value());

    // Text that is no address would reach the socket layer as "any interface" and expose the
    // viewer to the whole network, so it fails like any other bind.
    const bool isAddress = serverIp.protocol() == QAbstractSocket::IPv4Protocol
        || serverIp.protocol() == QAbstractSocket::IPv6Protocol;
    if (!isAddress || !udpSocket->bind(serverIp, serverPort, QAbstractSocket::DefaultForPlatform)) {
        ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledRed.png")));
        ui->uiStatusText->setText(
            tr("Server bind failed. Are you running any other instance of Corvane?"));
        return;
    }
    udpSocket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);

    clearTimer = new QTimer(this);
    connect(udpSocket, SIGNAL(readyRead()), this, SLOT(slPendingDatagrams()));
    connect(clearTimer, SIGNAL(timeout()), this, SLOT(slClearTimeout()));

    ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledGreen.png")));
    // Both filled in at once: an address with an interface number ("::1%1") holds a "%1" of
    // its own that a second arg() would take for the port's place.
    ui->uiStatusText->setText(
        tr("Listening at %1:%2").arg(serverIp.toString(), QString::number(serverPort)));
    slClearLogs();
}

void MainWindow::slPendingDatagrams()
{
    QVector<QByteArray> payloads;
    payloads.reserve(datagramsPerChunk);
    qint64 chunkBytes = 0;
    QElapsedTimer clock;
    clock.start();
    // pendingDatagramSize() is -1 when nothing is pending, so it answers hasPendingDatagrams()
    // too, with one system call less for every datagram.
    qint64 size;
    while ((size = udpSocket->pendingDatagramSize()) >= 0) {
        QByteArray datagram(int(size), Qt::Uninitialized);
        if (udpSocket->readDatagram(datagram.data(), size) < 0)
            break;
        payloads.append(datagram);
        chunkBytes += size;
        if (payloads.size() >= datagramsPerChunk || chunkBytes >= bytesPerChunk) {
            // Nothing between two chunks can set clearPending: the clear timer needs the event
            // loop. So only the first chunk of a drain may still clear the panes.
            processDatagrams(payloads);
            payloads.clear();
            chunkBytes = 0;
            if (clock.elapsed() >= drainBudgetMs)
                break;
        }
    }
    processDatagrams(payloads);
}

void MainWindow::processDatagrams(const QVector<QByteArray> &payloads)
{
    if (payloads.isEmpty())
        return;
    if (clearPending) {
        clearPending = false;
        slClearLogs();
    }

    static const QString logKeys[paneCount] = {QStringLiteral("log1"), QStringLiteral("log2"),
                                               QStringLiteral("log3"), QStringLiteral("log4")};
    static const QString tabsKey = QStringLiteral("tabs");

    QStringList texts[paneCount];
    bool lastHadText = false;
    for (const QByteArray &payload : payloads) {
        const QJsonObject message = datagramObject(payload);
        tabCaptions = captionsFrom(message.value(tabsKey));
        lastHadText = false;
        for (int pane = 0; pane < paneCount; ++pane) {
            QString text = textOf(message.value(logKeys[pane]));
            if (text.isEmpty())
                continue;
            texts[pane].append(text);
            ++logCounts[pane];
            lastHadText = true;
        }
    }

    for (int pane = 0; pane < paneCount; ++pane)
        appendLog(pane, texts[pane]);
    // Each datagram names the tabs bare and each of its texts brings the counts back, so the
    // last datagram of the batch decides which of the two the tabs show.
    setTabTitles(lastHadText);

    if (clearTimer)
        restartClearTimer();
}

void MainWindow::appendLog(int pane, const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    QTextEdit *log = logPanes().at(pane);
    // A pane on a tab that has not been shown yet was never told its width: it still lays out
    // for the few dozen pixels its viewport had before the window was laid out, breaking each
    // text into a tall stack of short lines. That costs 40% more memory, and once such a pane
    // holds some tens of thousands of texts, every layout of it takes seconds to minutes and a
    // flood freezes the window. So a hidden pane lays out for the width of the pane on show,
    // as it will once its tab is shown.
    if (!log->isVisible()) {
        for (const QTextEdit *shown : logPanes()) {
            const qreal width = shown->document()->textWidth();
            if (shown->isVisible() && log->document()->textWidth() != width)
                log->document()->setTextWidth(width);
        }
    }
    const QTextCursor userCursor = log->textCursor();
    const bool followEnd = userCursor.atEnd();
    const QTextCharFormat charFormat = userCursor.charFormat();

    QTextDocument *document = log->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();

    // Every text becomes a paragraph of its own at the end, like QTextEdit::append. Runs of
    // plain texts go in with one insertion, which costs far less than one per text.
    QString plainRun;
    bool empty = document->isEmpty();
    auto startParagraph = [&] {
        if (empty)
            cursor.setCharFormat(charFormat);
        else // the paragraph format where the pane's cursor is now, as append() takes it
            cursor.insertBlock(log->textCursor().blockFormat(), charFormat);
        empty = false;
    };
    auto flushPlainRun = [&] {
        if (plainRun.isEmpty())
            return;
        startParagraph();
        cursor.insertText(plainRun, charFormat);
        plainRun.clear();
    };
    bool runStarted = false;
    for (const QString &text : texts) {
        if (Qt::mightBeRichText(text) && !nestsTablesTooDeep(text)) {
            flushPlainRun();
            runStarted = false;
            startParagraph();
            cursor.insertHtml(text);
        } else {
            if (runStarted)
                plainRun += QChar::ParagraphSeparator;
            plainRun += text;
            runStarted = true;
        }
    }
    flushPlainRun();
    cursor.endEditBlock();
    // Like append(), give the pane's own cursor back the format it had: otherwise it would
    // take on the format of the rich text before it, and the next plain text with it.
    if (!userCursor.hasSelection())
        log->setCurrentCharFormat(charFormat);

    if (followEnd)
        log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

std::array<QTextEdit *, 4> MainWindow::logPanes() const
{
    return {ui->uiLog1, ui->uiLog2, ui->uiLog3, ui->uiLog4};
}

void MainWindow::setTabTitles(bool withCounts)
{
    for (int pane = 0; pane < paneCount; ++pane) {
        QString title = tabCaptions.at(pane);
        if (withCounts && logCounts.at(pane) > 0)
            title += QLatin1String(" (") + QString::number(logCounts.at(pane)) + QLatin1Char(')');
        ui->tabWidget->setTabText(pane, title);
    }
}

void MainWindow::restartClearTimer()
{
    // The product may not fit the timer's int; negative periods act as zero. A zero period
    // means "once the event loop is idle", and a single shot keeps it from spinning a core
    // while nothing arrives.
    const qint64 interval =
        qBound<qint64>(0, qint64(timeoutValue) * 1000, std::numeric_limits<int>::max());
    clearTimer->setSingleShot(interval == 0);
    clearTimer->start(int(interval));
}

void MainWindow::slTimeoutChanged(int state)
{
    Q_UNUSED(state)
    timeoutEnabled = ui->uiTimeoutEnabled->checkState() == Qt::Checked;
    timeoutValue = ui->uiTimeoutValue->value();
}

void MainWindow::slClearTimeout()
{
    clearPending = timeoutEnabled;
}

void MainWindow::slClearLogs()
{
    for (QTextEdit *log : logPanes())
        log->clear();
    logCounts.fill(0);
    setTabTitles(false);
}

void MainWindow::slShowAbout()
{
    aboutWindow about;
    about.exec();
}

void MainWindow::loadConfig()
{
    qint64 left = 50, top = 50, right = 749, bottom = 449;

    // Only a regular file is read: a directory has no lines, and a pipe or device named
    // "config" could block or feed the reader for ever.
    const QString path = configDir + QLatin1String("config");
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QByteArray content = file.read(maxConfigBytes);
        file.close();
        QTextStream in(&content, QIODevice::ReadOnly);
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
                serverIp.setAddress(value);
            } else if (key == QLatin1String("serverport")) {
                serverPort = quint16(number);
            } else if (key == QLatin1String("timeoutvalue")) {
                timeoutValue = number;
            } else if (key == QLatin1String("timeoutenabled")) {
                timeoutEnabled = value == QLatin1String("1");
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
                        tabCaptions[pane] = value;
                }
            }
        }
    }

    // The edges as the file gives them, within what a screen can have: an edge or an extent
    // beyond int would wrap around inside the toolkit.
    const qint64 x = qBound(-maxWindowCoordinate, left, maxWindowCoordinate);
    const qint64 y = qBound(-maxWindowCoordinate, top, maxWindowCoordinate);
    const qint64 width = qBound<qint64>(0, right - left + 1, maxWindowCoordinate);
    const qint64 height = qBound<qint64>(0, bottom - top + 1, maxWindowCoordinate);
    setGeometry(int(x), int(y), int(width), int(height));
}

void MainWindow::saveConfig()
{
    // Build the whole file first, then replace the old one in one step, so a crash or a full
    // disk never leaves half a file behind.
    const QRect geometry = this->geometry();
    QString text = QLatin1String(configHeader);
    text += QLatin1String("serverIp = ") + serverIp.toString() + QLatin1Char('\n');
    text += QLatin1String("serverPort = ") + QString::number(serverPort) + QLatin1Char('\n');
    text += QLatin1String("timeoutEnabled = ") + QLatin1String(timeoutEnabled ? "1" : "0");
    text += QLatin1String("\ntimeoutValue = ") + QString::number(timeoutValue) + QLatin1Char('\n');
    text += QLatin1String("windowX = ") + QString::number(geometry.x()) + QLatin1Char('\n');
    text += QLatin1String("windowY = ") + QString::number(geometry.y()) + QLatin1Char('\n');
    text += QLatin1String("windowW = ") + QString::number(geometry.width()) + QLatin1Char('\n');
    text += QLatin1String("windowH = ") + QString::number(geometry.height()) + QLatin1Char('\n');
    for (int pane = 0; pane < paneCount; ++pane) {
        text += QStringLiteral("tab%1caption = ").arg(pane + 1) + singleLine(tabCaptions.at(pane))
            + QLatin1Char('\n');
    }

    QSaveFile file(configDir + QLatin1String("config"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QTextStream out(&file);
    out << text;
    out.flush();
    if (out.status() == QTextStream::Ok)
        file.commit();
    else
        file.cancelWriting();
}
