// The viewer's one window: it builds the form and wires the parts that do the work.
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "logmessage.h"
#include "panes.h"

#include <QHostAddress>
#include <QMainWindow>
#include <QStringList>
#include <QVector>

#include <array>

class FindBar;
class HistoryTrimmer;
class LogFinder;
class LogPane;
class QLabel;
class MainWindowForm;
class QMenu;
class QTextEdit;
class QTimer;
class UdpListener;
struct Settings;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Handles datagram payloads as one batch, exactly as if they had just been read from the
    // socket in one go: the first may clear the panes, all are routed, titles are composed
    // once and the clear timer is restarted.
    void processDatagrams(const QVector<QByteArray> &payloads);

    // The most texts each pane keeps, 0 for no limit; panes start with defaultHistoryLimit.
    void setHistoryLimit(int texts);

private slots:
    void slStartServer();
    void slPendingDatagrams(const QVector<LogMessage> &messages);
    void slTimeoutChanged(int state);
    void slClearTimeout();
    void slClearLogs();
    void slShowAbout();
    void slShowLoss(qint64 lost);

private:
    void loadConfig();
    void saveConfig();
    void appendLog(int pane, const QStringList &texts);

    // The "Log" menu, made right after "File" the first time it is asked for.
    QMenu *logMenu();
    void addFindActions();
    // Opens the bar and searches; false when it was open already.
    bool openFindBar();
    void findInShownPane();
    void closeFindBar();
    QTextEdit *shownPane() const;

    Settings currentSettings() const;
    void setTabTitles(bool withCounts);
    void restartClearTimer();

    MainWindowForm *ui;
    QString configDir;
    QHostAddress serverIp;
    quint16 serverPort;
    bool timeoutEnabled;
    int timeoutValue;
    UdpListener *udpListener;
    QTimer *clearTimer;
    bool clearPending;
    QVector<int> logCounts;
    QStringList tabCaptions;
    std::array<LogPane *, paneCount> logPanes;
    HistoryTrimmer *historyTrimmer;
    // Shows the datagrams the system dropped at the socket, once there is one.
    QLabel *uiLost;
    // Finding in the pane on show; the bar is hidden until asked for.
    FindBar *findBar;
    LogFinder *logFinder;
};

#endif // MAINWINDOW_H
