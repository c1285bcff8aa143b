// The main window: builds the form, keeps the viewer's state, and hands work to its parts.
#include "mainwindow.h"

#include "aboutwindow.h"
#include "findbar.h"
#include "historytrimmer.h"
#include "logfinder.h"
#include "logmessage.h"
#include "logpane.h"
#include "logsaver.h"
#include "mainwindowform.h"
#include "settingsfile.h"
#include "udplistener.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
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
      historyTrimmer(nullptr),
      uiLost(nullptr),
      actionSaveLog(nullptr),
      actionCopyAll(nullptr),
      actionFollow(nullptr),
      findBar(nullptr),
      logFinder(nullptr)
{
    ui->setupUi(this);
    const std::array<QTextEdit *, paneCount> views = {ui->uiLog1, ui->uiLog2, ui->uiLog3,
                                                      ui->uiLog4};
    for (int pane = 0; pane < paneCount; ++pane) {
        logPanes[pane] = new LogPane(views[pane]);
        logPanes[pane]->setHistoryLimit(defaultHistoryLimit);
    }
    historyTrimmer = new HistoryTrimmer(logPanes, this);

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
    addSaveAndCopyActions();
    addFindActions();
    addFollowAction();

    udpListener = new UdpListener(this);
    connect(udpListener, &UdpListener::messagesReceived, this, &MainWindow::slPendingDatagrams);
    connect(udpListener, &UdpListener::datagramsDropped, this, &MainWindow::slShowLoss);
    connect(historyTrimmer, &HistoryTrimmer::trimmingShownPane, udpListener,
            &UdpListener::yieldTurn);
    slStartServer();
}

MainWindow::~MainWindow()
{
    saveConfig();
    // The finder lets go of its pane while the pane is whole.
    logFinder->setView(nullptr);
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
}

void MainWindow::slPendingDatagrams(const QVector<LogMessage> &messages)
{
    if (messages.isEmpty())
        return;
    // The clear timer needs the event loop to expire, so only the first batch after a quiet
    // period can find a clear pending.
    if (clearPending) {
        clearPending = false;
        slClearLogs();
    }

    QStringList texts[paneCount];
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

    for (int pane = 0; pane < paneCount; ++pane)
        appendLog(pane, texts[pane]);
    historyTrimmer->schedule();
    // Each datagram names the tabs bare and each of its texts brings the counts back, so the
    // last datagram of the batch decides which of the two the tabs show.
    setTabTitles(lastHadText);

    if (clearTimer)
        restartClearTimer();
}

void MainWindow::appendLog(int pane, const QStringList &texts)
{
    logPanes[pane]->append(texts);
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

void MainWindow::addFindActions()
{
    QMenu *menu = logMenu();
    if (!menu->isEmpty())
        menu->addSeparator();
    QAction *find = menu->addAction(tr("Find..."));
    find->setObjectName(QStringLiteral("actionFind"));
    find->setShortcut(QKeySequence(QKeySequence::Find));
    QAction *next = menu->addAction(tr("Find next"));
    next->setObjectName(QStringLiteral("actionFindNext"));
    next->setShortcut(QKeySequence(QKeySequence::FindNext));
    QAction *previous = menu->addAction(tr("Find previous"));
    previous->setObjectName(QStringLiteral("actionFindPrevious"));
    previous->setShortcut(QKeySequence(QKeySequence::FindPrevious));

    // One bar for all four panes, at the bottom of the central layout: the rows above keep
    // their places, and each page keeps its pane alone.
    findBar = new FindBar(ui->centralWidget);
    findBar->hide();
    ui->verticalLayout->addWidget(findBar);
    logFinder = new LogFinder(this);

    connect(find, &QAction::triggered, this, &MainWindow::openFindBar);
    // With the bar closed, they open it, which goes to the first match after the view.
    connect(next, &QAction::triggered, this, [this] {
        if (!openFindBar())
            logFinder->findNext();
    });
    connect(previous, &QAction::triggered, this, [this] {
        if (!openFindBar())
            logFinder->findPrevious();
    });
    connect(findBar, &FindBar::searchChanged, this,
            [this] { logFinder->setPattern(findBar->pattern(), findBar->caseSensitivity()); });
    connect(findBar, &FindBar::nextRequested, logFinder, &LogFinder::findNext);
    connect(findBar, &FindBar::dismissed, this, &MainWindow::closeFindBar);
    connect(logFinder, &LogFinder::resultChanged, findBar, &FindBar::showResult);
    // The pane that comes on show is laid out on the next turn (LogPane); it is searched
    // after that, so that its view knows where its top is.
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::findInShownPane,
            Qt::QueuedConnection);
}

bool MainWindow::openFindBar()
{
    if (!findBar->isHidden()) {
        findBar->open(); // the keyboard back in the field
        return false;
    }
    findBar->open();
    logFinder->setPattern(findBar->pattern(), findBar->caseSensitivity());
    logFinder->setView(shownPane()->view());
    return true;
}

void MainWindow::findInShownPane()
{
    if (!findBar->isHidden())
        logFinder->setView(shownPane()->view());
}

void MainWindow::closeFindBar()
{
    logFinder->setView(nullptr);
    shownPane()->view()->setFocus(Qt::OtherFocusReason);
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

QMenu *MainWindow::logMenu()
{
    QMenuBar *bar = menuBar();
    if (auto *menu = bar->findChild<QMenu *>(QStringLiteral("menuLog"), Qt::FindDirectChildrenOnly))
        return menu;
    auto *menu = new QMenu(tr("Log"), bar);
    menu->setObjectName(QStringLiteral("menuLog"));
    const QList<QAction *> entries = bar->actions();
    // Right after "File"; a null "before" appends.
    bar->insertMenu(entries.value(entries.indexOf(ui->menuFile->menuAction()) + 1), menu);
    return menu;
}

void MainWindow::addSaveAndCopyActions()
{
    actionSaveLog = new QAction(tr("Save log as..."), this);
    actionSaveLog->setObjectName(QStringLiteral("actionSaveLog"));
    actionSaveLog->setShortcut(QKeySequence(QKeySequence::Save));
    connect(actionSaveLog, &QAction::triggered, this, &MainWindow::slSaveLog);
    actionCopyAll = new QAction(LogPane::copyAllText(), this);
    actionCopyAll->setObjectName(QStringLiteral("actionCopyAll"));
    connect(actionCopyAll, &QAction::triggered, this, &MainWindow::slCopyAll);

    // First in the menu, whatever is there already.
    QMenu *menu = logMenu();
    QAction *first = menu->actions().value(0);
    menu->insertAction(first, actionSaveLog);
    menu->insertAction(first, actionCopyAll);
    if (first)
        menu->insertSeparator(first);
}

void MainWindow::addFollowAction()
{
    auto *menu = new QMenu(tr("View"), menuBar());
    menu->setObjectName(QStringLiteral("menuView"));
    menuBar()->addMenu(menu);
    actionFollow = menu->addAction(tr("Follow new texts"));
    actionFollow->setObjectName(QStringLiteral("actionFollow"));
    actionFollow->setCheckable(true);
    connect(actionFollow, &QAction::triggered, this, &MainWindow::slFollowTriggered);
    for (LogPane *pane : logPanes)
        connect(pane, &LogPane::followingChanged, this, &MainWindow::slShowFollowing);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::slShowFollowing);
    slShowFollowing();
}

LogPane *MainWindow::shownPane() const
{
    return logPanes[size_t(qBound(0, ui->tabWidget->currentIndex(), paneCount - 1))];
}

void MainWindow::setSavePathChooser(SavePathChooser chooser)
{
    savePathChooser = std::move(chooser);
}

QString MainWindow::askSavePath()
{
    if (savePathChooser)
        return savePathChooser();
    return QFileDialog::getSaveFileName(this, tr("Save log as"), QString(),
                                        tr("Text (*.txt *.log);;HTML (*.html)"));
}

void MainWindow::slSaveLog()
{
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    const LogSaveResult result = saveLog(*shownPane()->view()->document(), path);
    if (!result.succeeded()) {
        QMessageBox::warning(this, tr("Save log as"),
                             tr("The log could not be saved to %1:\n%2")
                                 .arg(QDir::toNativeSeparators(path), result.error));
    }
}

void MainWindow::slCopyAll()
{
    shownPane()->copyAll();
}

void MainWindow::slFollowTriggered(bool follow)
{
    shownPane()->setFollowing(follow);
}

void MainWindow::slShowFollowing()
{
    actionFollow->setChecked(shownPane()->isFollowing());
}
