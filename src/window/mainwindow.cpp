// The main window: builds the form, keeps the viewer's state, and hands work to its parts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"

#include "window/aboutwindow.h"
#include "panes/batchappender.h"
#include "panes/historytrimmer.h"
#include "window/logmenus.h"
#include "ingest/logmessage.h"
#include "panes/logpane.h"
#include "window/mainwindowform.h"
#include "files/settingsfile.h"
#include "ingest/udplistener.h"
#include "window/turnscheduler.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <limits>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(new MainWindowForm),
      serverPort(0),
      timeoutEnabled(false),
      timeoutValue(0),
      udpListener(nullptr),
      clearTimer(nullptr),
      clearPending(false),
      logPanes {},
      batchAppender(nullptr),
      batchHadText(false),
      uiLost(nullptr),
      logMenus(nullptr)
{
    ui->setupUi(this);
    const std::array<QTextEdit *, paneCount> views = {ui->uiLog1, ui->uiLog2, ui->uiLog3,
                                                      ui->uiLog4};
    for (int pane = 0; pane < paneCount; ++pane) {
        logPanes[pane] = new LogPane(views[pane]);
        logPanes[pane]->setHistoryLimit(defaultHistoryLimit);
    }
    batchAppender = new BatchAppender(
        [this](int pane, const QStringList &texts) { logPanes[pane]->append(texts); }, this);
    connect(batchAppender, &BatchAppender::batchAppended, this, &MainWindow::showBatchAppended);

    configDir = QDir::homePath() + QLatin1String("/.corvane/");
    QDir dir;
    if (!dir.exists(configDir))
        dir.mkdir(configDir);

    const Settings defaults;
    serverIp = defaults.serverIp;
    serverPort = defaults.serverPort;
    timeoutEnabled = defaults.timeoutEnabled;
    timeoutValue = defaults.timeoutValue;
    logCounts.fill(0, paneCount);
    tabCaptions = defaults.tabCaptions;

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
    logMenus = new LogMenus(this, ui->menuFile, ui->tabWidget, logPanes, ui->verticalLayout);

    udpListener = new UdpListener(this);
    connect(udpListener, &UdpListener::messagesReceived, this, &MainWindow::slPendingDatagrams);
    connect(udpListener, &UdpListener::datagramsDropped, this, &MainWindow::slShowLoss);
    new TurnScheduler(udpListener, batchAppender, new HistoryTrimmer(logPanes, this), this);
    slStartServer();
}

MainWindow::~MainWindow()
{
    saveConfig();
    delete logMenus; // while the panes it works on are whole
    delete ui;
}

void MainWindow::slStartServer()
{
    if (clearTimer) {
        clearTimer->stop();
        delete clearTimer;
        clearTimer = nullptr;
    }

    // Text that is no address is never kept: the settings keep the last address that was one.
    const QHostAddress typed(ui->uiServerIp->text());
    if (!typed.isNull())
        serverIp = typed;
    serverPort = quint16(ui->uiServerPort->value());
    // A new socket counts its losses afresh.
    slShowLoss(0);
    if (!udpListener->listen(typed, serverPort)) {
        ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledRed.png")));
        ui->uiStatusText->setText(
            tr("Server bind failed. Are you running any other instance of Corvane?"));
        return;
    }

    clearTimer = new QTimer(this);
    connect(clearTimer, SIGNAL(timeout()), this, SLOT(slClearTimeout()));

    ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledGreen.png")));
    // Both filled in at once: an address with an interface number ("::1%1") holds a "%1" of
    // its own that a second arg() would take for the port's place.
    // The port bound, which the system chose when 0 asked for any free one.
    ui->uiStatusText->setText(
        tr("Listening at %1:%2")
            .arg(serverIp.toString(), QString::number(udpListener->localPort())));
    slClearLogs();
}

void MainWindow::processDatagrams(const QVector<QByteArray> &payloads)
{
    QVector<LogMessage> messages;
    messages.reserve(payloads.size());
    for (const QByteArray &payload : payloads)
        messages.append(LogMessage::fromDatagram(payload));
    slPendingDatagrams(messages);
    batchAppender->finish();
}

void MainWindow::slPendingDatagrams(const QVector<LogMessage> &messages)
{
    if (messages.isEmpty())
        return;
    // The batch before is shown whole, titles and all, before this one counts.
    batchAppender->finish();
    // The clear timer needs the event loop to expire, so only the first batch after a quiet
    // period can find a clear pending.
    if (clearPending) {
        clearPending = false;
        slClearLogs();
    }

    BatchAppender::Texts texts;
    bool lastHadText = false;
    for (const LogMessage &message : messages) {
        tabCaptions = message.captions;
        for (int pane = 0; pane < paneCount; ++pane) {
            if (message.texts[pane].isEmpty())
                continue;
            texts[pane].append(message.texts[pane]);
            ++logCounts[pane];
        }
        lastHadText = message.hasText();
    }

    batchHadText = lastHadText;
    batchAppender->append(texts);

    if (clearTimer)
        restartClearTimer();
}

// The titles change when the texts they count are in the panes.
void MainWindow::showBatchAppended()
{
    // Each datagram names the tabs bare and each of its texts brings the counts back, so the
    // last datagram of the batch decides which of the two the tabs show.
    setTabTitles(batchHadText);
}

void MainWindow::setTabTitles(bool withCounts)
{
    for (int pane = 0; pane < paneCount; ++pane) {
        // The tab bar takes "&" for a shortcut mark; doubled, it shows as sent.
        QString title =
            QString(tabCaptions.at(pane)).replace(QLatin1Char('&'), QLatin1String("&&"));
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
        qBound(qint64(0), qint64(timeoutValue) * 1000, qint64(std::numeric_limits<int>::max()));
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
    batchAppender->discard();
    for (LogPane *pane : logPanes)
        pane->clear();
    logCounts.fill(0);
    setTabTitles(false);
}

void MainWindow::setHistoryLimit(int texts)
{
    for (LogPane *pane : logPanes)
        pane->setHistoryLimit(texts);
}

void MainWindow::slShowLoss(qint64 lost)
{
    if (lost <= 0) {
        if (uiLost)
            uiLost->hide();
        return;
    }
    // Made when there first is a loss: until then the window is as it always was.
    if (!uiLost) {
        uiLost = new QLabel(ui->centralWidget);
        uiLost->setObjectName(QStringLiteral("uiLost"));
        uiLost->setToolTip(tr("Datagrams that the system dropped at the viewer's socket since "
                              "it started listening, because they came faster than the viewer "
                              "could read them."));
        ui->horizontalLayout_2->addWidget(uiLost);
    }
    uiLost->setText(tr("Datagrams lost: %1").arg(lost));
    uiLost->show();
}

void MainWindow::slShowAbout()
{
    aboutWindow about;
    about.exec();
}

Settings MainWindow::currentSettings() const
{
    Settings settings;
    settings.serverIp = serverIp;
    settings.serverPort = serverPort;
    settings.timeoutEnabled = timeoutEnabled;
    settings.timeoutValue = timeoutValue;
    settings.geometry = geometry();
    settings.tabCaptions = tabCaptions;
    return settings;
}

void MainWindow::loadConfig()
{
    const Settings settings =
        readSettingsFile(configDir + QLatin1String("config"), currentSettings());
    serverIp = settings.serverIp;
    serverPort = settings.serverPort;
    timeoutEnabled = settings.timeoutEnabled;
    timeoutValue = settings.timeoutValue;
    tabCaptions = settings.tabCaptions;
    setGeometry(settings.geometry);
}

void MainWindow::saveConfig()
{
    writeSettingsFile(configDir + QLatin1String("config"), currentSettings());
}

void MainWindow::setSavePathChooser(LogMenus::SavePathChooser chooser)
{
    logMenus->setSavePathChooser(std::move(chooser));
}
