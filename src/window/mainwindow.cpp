// The main window: builds the form, keeps the viewer's state, and hands work to its parts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"

#include "app/commandline.h"
#include "files/settingsfile.h"
#include "filters/panerules.h"
#include "filters/ruleset.h"
#include "ingest/udplistener.h"
#include "panes/batchappender.h"
#include "panes/historytrimmer.h"
#include "panes/logpane.h"
#include "record/recorder.h"
#include "record/recordingview.h"
#include "record/recordlabel.h"
#include "sources/sourceregistry.h"
#include "sources/sourcesdock.h"
#include "window/aboutwindow.h"
#include "window/clearpolicy.h"
#include "window/hiddenlabel.h"
#include "window/losslabel.h"
#include "window/mainwindowform.h"
#include "window/pausegate.h"
#include "window/senderlook.h"
#include "window/tabtitles.h"
#include "window/turnscheduler.h"
#include "window/viewprefixes.h"
#include "window/waitinglabel.h"
#include "window/windowlook.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>

#include <utility>

MainWindow::MainWindow(QWidget *parent, const QString &rulesFile, Source source)
    : QMainWindow(parent),
      ui(new MainWindowForm),
      source(source),
      serverPort(0),
      udpListener(nullptr),
      logPanes {},
      batchAppender(nullptr),
      pauseGate(nullptr),
      clearPolicy(new ClearPolicy(this)),
      tabTitles(nullptr),
      lossLabel(nullptr),
      recorder(new Recorder(this)),
      recordLimit(defaultRecordLimit),
      look(new WindowLook),
      paneRules(nullptr),
      logMenus(nullptr),
      sourceRegistry(new SourceRegistry(this)),
      sourcesDock(nullptr),
      viewPrefixes(nullptr)
{
    ui->setupUi(this);
    const std::array<QTextEdit *, paneCount> views = {ui->uiLog1, ui->uiLog2, ui->uiLog3,
                                                      ui->uiLog4};
    for (int pane = 0; pane < paneCount; ++pane) {
        logPanes[pane] = new LogPane(views[pane]);
        logPanes[pane]->setLook(look, pane);
        logPanes[pane]->setHistoryLimit(defaultHistoryLimit);
        logPanes[pane]->setHistorySize(defaultHistoryBytes);
    }
    batchAppender = new BatchAppender(
        [this](int pane, const QVector<KeptText> &texts) { logPanes[pane]->append(texts); },
        this);
    tabTitles = new TabTitles(ui->tabWidget, this);
    // The titles change when the texts they count are in the panes.
    connect(batchAppender, &BatchAppender::batchAppended, tabTitles, &TabTitles::show);
    pauseGate = new PauseGate(batchAppender, logPanes, this);
    // Texts held while paused count as they arrive.
    connect(pauseGate, &PauseGate::stateChanged, tabTitles, &TabTitles::show);
    for (int pane = 0; pane < paneCount; ++pane)
        connect(logPanes[pane], &LogPane::clearRequested, this,
                [this, pane] { slClearPane(pane); });

    configDir = QDir::homePath() + QLatin1String("/.corvane/");
    QDir dir;
    if (!dir.exists(configDir))
        dir.mkdir(configDir);
    useSettings(Settings());
    loadConfig();
    // A recording shows as it was: no quiet period between its texts clears the panes.
    if (source == Source::Recording)
        clearPolicy->setEnabled(false);

    ui->uiServerIp->setText(serverIp.toString());
    ui->uiServerPort->setValue(serverPort);
    clearPolicy->followBoxes(ui->uiTimeoutEnabled, ui->uiTimeoutValue);

    setWindowTitle(QLatin1String("Corvane v.") + QLatin1String("1.0"));

    ui->actionE_xit->setShortcut(QKeySequence(QKeySequence::Quit));
    ui->action_About->setShortcut(QKeySequence(QKeySequence::HelpContents));

    connect(ui->uiRestart, SIGNAL(clicked()), this, SLOT(slStartServer()));
    connect(ui->uiClearNow, SIGNAL(clicked()), this, SLOT(slClearLogs()));
    connect(ui->actionE_xit, SIGNAL(triggered()), this, SLOT(close()));
    connect(ui->action_About, SIGNAL(triggered()), this, SLOT(slShowAbout()));
    logMenus = new LogMenus(this, ui->menuFile, ui->tabWidget, logPanes, ui->verticalLayout);
    connect(logMenus, &LogMenus::clearPaneRequested, this, &MainWindow::slClearPane);
    connect(logMenus, &LogMenus::pauseSwitched, pauseGate, &PauseGate::setPaused);
    useRules(rulesFile);
    sourcesDock = new SourcesDock(sourceRegistry, this);
    addDockWidget(Qt::BottomDockWidgetArea, sourcesDock);
    sourcesDock->hide();
    sourcesDock->toggleViewAction()->setObjectName(QStringLiteral("actionSources"));
    logMenus->viewMenu()->addAction(sourcesDock->toggleViewAction());
    viewPrefixes =
        new ViewPrefixes(logMenus->viewMenu(), configDir + QLatin1String("view.json"), this);
    auto *senderLook = new SenderLook(look, sourceRegistry, logPanes, this);
    senderLook->setPrefixes(viewPrefixes->choices());
    connect(viewPrefixes, &ViewPrefixes::choicesChanged, senderLook, &SenderLook::setPrefixes);

    udpListener = new UdpListener(this);
    connect(udpListener, &UdpListener::messagesReceived, this, &MainWindow::slPendingDatagrams);
    for (LogPane *pane : logPanes) {
        pane->setTextRelease(
            [this](std::vector<QString> &&texts) { udpListener->handBack(std::move(texts)); });
    }
    lossLabel = new LossLabel(ui->centralWidget, ui->horizontalLayout_2, this);
    connect(udpListener, &UdpListener::datagramsDropped, lossLabel, &LossLabel::showLoss);
    auto *waitingLabel = new WaitingLabel(ui->centralWidget, ui->horizontalLayout_2, this);
    connect(pauseGate, &PauseGate::stateChanged, waitingLabel, &WaitingLabel::showWaiting);
    auto *turns =
        new TurnScheduler(udpListener, batchAppender, new HistoryTrimmer(logPanes, this), this);
    turns->setPauseGate(pauseGate);

    auto *recordLabel = new RecordLabel(ui->centralWidget, ui->horizontalLayout_2, this);
    connect(recorder, &Recorder::progress, recordLabel, &RecordLabel::showProgress);
    connect(recorder, &Recorder::stopped, recordLabel, &RecordLabel::showStopped);
    connect(recorder, &Recorder::stopped, logMenus, [this] { logMenus->showRecording(false); });
    connect(logMenus, &LogMenus::recordRequested, this,
            [this](const QString &path) { record(path, recordLimit); });
    connect(logMenus, &LogMenus::stopRecordingRequested, recorder, &Recorder::stop);
    connect(logMenus, &LogMenus::openRecordingRequested, this, &MainWindow::slOpenRecording);
    if (source == Source::Socket) {
        slStartServer();
    } else {
        ui->uiRestart->setEnabled(false);
        ui->uiServerIp->setEnabled(false);
        ui->uiServerPort->setEnabled(false);
    }
}

MainWindow::~MainWindow()
{
    recorder->stop(); // what has queued up is written before the window goes
    if (source == Source::Socket)
        saveConfig();
    delete logMenus; // while the panes it works on are whole
    delete ui;
    delete look; // after the panes that show by it
}

void MainWindow::useRules(const QString &rulesFile)
{
    paneRules = new PaneRules(
        rulesFile, logPanes, ui->tabWidget, [this] { return tabTitles->captions(); }, this);
    const RuleSet *rules = paneRules->ruleSet();
    look->matchRules = [rules](const QString &text, int pane) { return rules->match(text, pane); };
    look->judgeRules = [rules](quint64 matches, int pane) {
        const FilterVerdict verdict = rules->judge(matches, pane);
        return RuleVerdict {verdict.hidden, verdict.background, verdict.foreground};
    };
    look->rulesActive = [rules](int pane) { return rules->isActive(pane); };
    connect(logMenus, &LogMenus::rulesDialogRequested, paneRules, &PaneRules::openDialog);
    connect(logMenus, &LogMenus::findFilterChanged, paneRules, &PaneRules::setFindFilter);
    auto *hiddenLabel = new HiddenLabel(ui->centralWidget, ui->horizontalLayout_2, this);
    connect(paneRules, &PaneRules::shownPaneHides, hiddenLabel, &HiddenLabel::showHidden);
}

void MainWindow::slStartServer()
{
    clearPolicy->stopTiming();

    // Text that is no address is never kept: the settings keep the last address that was one.
    const QHostAddress typed(ui->uiServerIp->text());
    if (!typed.isNull())
        serverIp = typed;
    serverPort = quint16(ui->uiServerPort->value());
    // A new socket counts its losses afresh.
    lossLabel->showLoss(0);
    if (!udpListener->listen(typed, serverPort)) {
        ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledRed.png")));
        ui->uiStatusText->setText(
            tr("Server bind failed. Are you running any other instance of Corvane?"));
        return;
    }

    clearPolicy->startTiming();

    ui->uiStatusIcon->setPixmap(QPixmap(QStringLiteral(":/corvane/Resources/ledGreen.png")));
    // Both filled in at once: an address with an interface number ("::1%1") holds a "%1" of
    // its own that a second arg() would take for the port's place.
    // The port bound, which the system chose when 0 asked for any free one.
    ui->uiStatusText->setText(
        tr("Listening at %1:%2")
            .arg(serverIp.toString(), QString::number(udpListener->localPort())));
    slClearLogs();
}

void MainWindow::slPendingDatagrams(const QVector<LogMessage> &messages)
{
    if (messages.isEmpty())
        return;
    // Every message counts for its sender, cleared or not.
    sourceRegistry->count(messages);
    recorder->record(messages);
    // The batch before is shown whole, titles and all, before this one counts.
    batchAppender->finish();
    // A clearing in the batch takes the texts before it too: they are not shown. Paused, the
    // reader is reading: a quiet period takes nothing away, neither from the panes nor from
    // what waits for them, and the titles go on counting.
    const int lastClearing = clearPolicy->batchArrives(messages);
    const bool clears = lastClearing >= 0 && !pauseGate->isPaused();
    if (clears)
        slClearLogs();

    BatchAppender::Texts texts;
    for (int i = clears ? lastClearing : 0; i < messages.size(); ++i) {
        const LogMessage &message = messages.at(i);
        tabTitles->count(message);
        const SharedSender sender = recentSenders.share(message.sender);
        for (int pane = 0; pane < paneCount; ++pane) {
            if (!message.texts[pane].isEmpty()) {
                KeptText kept;
                kept.text = message.texts[pane];
                kept.arrivalTime = message.arrivalTime;
                kept.sender = sender;
                texts[pane].append(std::move(kept));
            }
        }
    }
    pauseGate->hand(texts);
}

void MainWindow::slClearLogs()
{
    batchAppender->discard();
    pauseGate->discard();
    for (LogPane *pane : logPanes)
        pane->clear();
    tabTitles->reset();
}

void MainWindow::slClearPane(int pane)
{
    batchAppender->discard(pane);
    pauseGate->discard(pane);
    logPanes[size_t(pane)]->clear();
    tabTitles->reset(pane);
}

void MainWindow::setHistoryLimit(int texts)
{
    for (LogPane *pane : logPanes)
        pane->setHistoryLimit(texts);
}

void MainWindow::setHistorySize(qint64 bytes)
{
    for (LogPane *pane : logPanes)
        pane->setHistorySize(bytes);
}

void MainWindow::record(const QString &path, qint64 limitBytes)
{
    recordLimit = limitBytes;
    recorder->start(path, limitBytes);
    logMenus->showRecording(true);
}

void MainWindow::slOpenRecording(const QString &path)
{
    openRecordingWindow(path, logPanes[0]->historyLimit(), this);
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
    settings.timeoutEnabled = clearPolicy->isEnabled();
    settings.timeoutValue = clearPolicy->seconds();
    settings.geometry = geometry();
    settings.tabCaptions = tabTitles->captions();
    return settings;
}

void MainWindow::loadConfig()
{
    const Settings settings =
        readSettingsFile(configDir + QLatin1String("config"), currentSettings());
    useSettings(settings);
    setGeometry(settings.geometry);
}

// All but the geometry, which the window has before it reads the settings file.
void MainWindow::useSettings(const Settings &settings)
{
    serverIp = settings.serverIp;
    serverPort = settings.serverPort;
    clearPolicy->setEnabled(settings.timeoutEnabled);
    clearPolicy->setSeconds(settings.timeoutValue);
    tabTitles->setCaptions(settings.tabCaptions);
}

void MainWindow::saveConfig()
{
    const QString path = configDir + QLatin1String("config");
    const QString error = writeSettingsFile(path, currentSettings());
    // At exit there is no window left to show it in: the terminal is told.
    if (!error.isEmpty()) {
        qWarning("corvane: %s",
                 qUtf8Printable(tr("the settings could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(path), error)));
    }
}

void MainWindow::setSavePathChooser(LogMenus::SavePathChooser chooser)
{
    logMenus->setSavePathChooser(std::move(chooser));
}
