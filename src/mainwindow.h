#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QHostAddress>
#include <QMainWindow>
#include <QStringList>
#include <QVector>

#include <array>

class MainWindowForm;
class QTextEdit;
class QTimer;
class QUdpSocket;

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

private slots:
    void slStartServer();
    void slPendingDatagrams();
    void slTimeoutChanged(int state);
    void slClearTimeout();
    void slClearLogs();
    void slShowAbout();

private:
    void loadConfig();
    void saveConfig();
    void appendLog(int pane, const QStringList &texts);

    QString caption(int pane) const;
    std::array<QTextEdit *, 4> logPanes() const;
    void setTabTitles(bool withCounts);
    void restartClearTimer();

    MainWindowForm *ui;
    QString configDir;
    QHostAddress serverIp;
    quint16 serverPort;
    bool timeoutEnabled;
    int timeoutValue;
    QUdpSocket *udpSocket;
    QTimer *clearTimer;
    bool clearPending;
    QVector<int> logCounts;
    QStringList tabCaptions;
};

#endif // MAINWINDOW_H
