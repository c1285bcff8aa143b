// The viewer's one window: it builds the form and wires the parts that do the work.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "window/logmenus.h"
#include "ingest/logmessage.h"
#include "protocol/panes.h"

#include <QHostAddress>
#include <QMainWindow>
#include <QStringList>
#include <QVector>

#include <array>

class BatchAppender;
class LogPane;
class QLabel;
class MainWindowForm;
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

    // Asks where "Save log as..." writes, an empty name for nowhere. The window asks with a
    // file dialog unless given another way (tests choose the name without a modal dialog).
    void setSavePathChooser(LogMenus::SavePathChooser chooser);

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
    void showBatchAppended();


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
    BatchAppender *batchAppender;
    // Whether the last datagram of the batch going in had a text: the titles show counts then.
    bool batchHadText;
    // Shows the datagrams the system dropped at the socket, once there is one.
    QLabel *uiLost;
    // "Log" and "View", after "File".
    LogMenus *logMenus;
};

#endif // MAINWINDOW_H
