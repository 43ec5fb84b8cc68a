#pragma once

#include "core/boxqueue.h"

#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QString>
#include <QUrl>

#include <functional>

class QCloseEvent;
class QTimer;
class SerialPort;

namespace Ui {
class upgrade_dialog;
}

/// Replaces the firmware of a controller in its upgrade mode (its
/// bootloader): lists the serial ports that can be upgrade devices, opens
/// one on the main window's link, asks for model and version, erases the
/// flash and streams the image in raw blocks of at most 64 bytes. The image
/// comes from a local file or from the download server.
///
/// Bootloader protocol: the identity request and the version query as in
/// normal mode, then the erase command AA CC 02 00 02 0D 0A, answered by
/// the text "ERASE END"; after it the image bytes without any framing, one
/// block every 30 ms, with no answer awaited.
class upgrade_dialog : public QDialog
{
    Q_OBJECT

public:
    enum State { Idle = 0, Connected = 1, Erasing = 2, Sending = 3, FinishedSuccess = 4,
                 FinishedFailed = 5 };

    /// Pacings and time limits, in milliseconds. The product uses the
    /// defaults; tests shorten them.
    struct Timings {
        int blockIntervalMs = 30;      ///< from one block's write to the next block
        int finalizeMs = 5000;         ///< after the last block, before progress 100
        int successStepMs = 50;        ///< after progress 100, before the success box
        int eraseTimeoutMs = 10000;    ///< erase command to "ERASE END"
        int refreshIntervalMs = 1500;  ///< device list refresh
        int transferTimeoutMs = 30000; ///< one download request
    };

    static constexpr int blockSize = 64;
    static constexpr int retries = 3;

    upgrade_dialog(QWidget *parent, SerialPort *port);
    ~upgrade_dialog() override;

    /// "Idle" ... "FinishedFailed", "Unknown" for any other value.
    static QString stateName(int state);

    Timings timings() const { return m_timings; }
    void setTimings(const Timings &timings);

    bool autoupdateflag = false;
    Ui::upgrade_dialog *ui = nullptr;
    SerialPort *port = nullptr;
    int upgradeState = Idle;
    bool onlineFirmwareLoaded = false;
    bool failureHandled = false;
    bool deviceRemoved = false;
    QString productModel;
    QString currentFirmware;
    QByteArray firmwareData;
    qint64 bytesSent = 0;
    int blockLength = 0;
    QByteArray currentBlock;
    QTimer *eraseTimer = nullptr;

    void setUpgradeState(int state);
    void startErase();

    // ---- firmware sources (upgrade/upgrade_dialog_sources.cpp) ----
    /// Logs the image's MD5; false when expectedMd5 is given and differs.
    bool verifyFirmware(QByteArray image, QString expectedMd5);
    /// Looks up the reported model's update text and offers a newer image.
    void checkForOnlineUpdate();
    /// One GET with up to retriesLeft further attempts at once on failure; a
    /// reply counts only with status 200 and a body. After the last failed
    /// attempt onGiveUp runs; without one the upgrade ends as failed.
    void fetchWithRetry(QUrl url, std::function<void(QByteArray)> onSuccess, int retriesLeft,
                        std::function<void()> onGiveUp = {});
    void handleUpdateText(QString productName, QByteArray data);
    /// Fetches the image and starts the upgrade with it.
    void downloadFirmware(QString url, QString versionToken);

public slots:
    void rec_version(QString version);
    void rec_mtd(QString MTD);
    void rec_erase_flag(bool flag);
    void sendNextChunk();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void refreshDeviceList();
    void closeEvent(QCloseEvent *event) override;
    void onEraseTimeout();
    void on_pushButton_4_clicked();
    void handleSerialError(QSerialPort::SerialPortError error);

    /// Escape closes the dialog as the title bar's button does.
    void reject() override;

private slots:
    void onPortDisconnected(QString portName);
    void onPortReconnected(QString portName);
    void onLinkFatalError(QSerialPort::SerialPortError error);

private:
    void appendLog(const QString &line);
    void scheduleBlock();
    void awaitBlockDue(int run);
    void finishSuccessfully();
    /// Stops the erase timeout and drops the image and what was sent of it.
    void discardImage();
    /// Drops the image and any transfer step still scheduled, and goes Idle.
    void abandonTransfer();
    void postFailureBox();

    Timings m_timings;
    /// The port name last connected to, as the device list gives it.
    QString openedPortName;
    QTimer *refreshTimer = nullptr;
    /// Since the last block was written.
    QElapsedTimer blockClock;
    /// Counts abandoned transfers: a scheduled step of an earlier one does nothing.
    int transferRun = 0;
    BoxQueue boxes;
};
