#pragma once

#include "core/boxqueue.h"
#include "device/serialport.h"

#include <QByteArray>
#include <QDialog>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QUrl>

#include <functional>

class QCloseEvent;
class QLabel;
class QNetworkReply;
class QTimer;

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
        int identityTimeoutMs = 5000;  ///< connect to the device's version reply
    };

    static constexpr int blockSize = 64;
    static constexpr int retries = 3;
    /// Item data of the device list: every port carrying the item's name.
    static constexpr int allPortsRole = Qt::UserRole + 1;

    upgrade_dialog(QWidget *parent, SerialPort *port);
    ~upgrade_dialog() override;

    /// "Idle" ... "FinishedFailed", "Unknown" for any other value.
    static QString stateName(int state);

    Timings timings() const { return m_timings; }
    void setTimings(const Timings &timings);

    /// The form; the dialog's own. Others read it (tests, screenshots) but
    /// drive the dialog only through the functions below.
    Ui::upgrade_dialog *ui = nullptr;

    int state() const { return upgradeState; }
    /// The image the next upgrade writes; empty when none is loaded.
    QByteArray image() const { return firmwareData; }
    /// Model and firmware version the connected device reported.
    QString deviceModel() const { return productModel; }
    QString deviceFirmware() const { return currentFirmware; }
    /// An upgrade runs: the image is downloading, or the device is erasing
    /// or receiving it. Closing the dialog then asks first.
    bool isBusy() const;

    /// Upgrades the device on portName with image without asking anything:
    /// takes the link over, connects and, once the device has reported its
    /// model and version, erases it and sends the image. progress follows in
    /// upgradeStateChanged. False (and nothing started) when an upgrade runs
    /// already, the image is refused or the port cannot be opened.
    bool startUpgrade(const QByteArray &image, const QString &portName);
    /// What the dialog learnt of its device is void: the main window has
    /// connected to a controller.
    void forgetDevice();
    void clearLog();

signals:
    void upgradeStateChanged(int state);

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
    void onIdentityTimeout();
    void onHolderChanged(SerialPort::Holder holder);

private:
    void setUpgradeState(int state);
    void startErase();
    /// Logs the image's MD5; false when expectedMd5 is given and differs.
    bool verifyFirmware(QByteArray image, QString expectedMd5);

    // ---- firmware sources (upgrade/upgrade_dialog_sources.cpp) ----
    /// Looks up the reported model's update text and offers a newer image.
    void checkForOnlineUpdate();
    /// One GET with up to retriesLeft further attempts at once on failure; a
    /// reply counts only with status 200 and a body. After the last failed
    /// attempt onGiveUp runs; without one the upgrade ends as failed. A body
    /// growing beyond maxBytes (when >= 0) is aborted and refused, unretried.
    void fetchWithRetry(QUrl url, std::function<void(QByteArray)> onSuccess, int retriesLeft,
                        std::function<void()> onGiveUp = {}, qint64 maxBytes = -1);
    void handleUpdateText(QString productName, QByteArray data);
    /// Fetches the image and its checksum, and starts the upgrade with it.
    void downloadFirmware(QString url, QString versionToken);
    /// The downloaded image has passed its checks: erase and send it.
    void flashDownloaded(const QByteArray &body);
    /// Drops an image that must not be flashed, says why in the log and a box.
    void refuseImage(const QString &reason);
    /// Aborts every request under way; their replies are then ignored.
    void abortDownloads();

    // ---- connecting ----
    /// Takes the link over and opens portName; false (with the boxes) when it cannot.
    bool connectTo(const QString &portName);
    /// The port the current item stands for; asks when several share its name.
    QString chosenPort();
    /// Closes the link when this dialog holds it.
    void releaseLink();

    // ---- upgrade ----
    /// Starts the upgrade now, or when the device's version reply arrives.
    void startOnceIdentified();
    /// The Upgrade button's start, once the image has passed its checks.
    void beginUpgrade();
    void appendLog(const QString &line);
    void applyControls();
    void scheduleBlock();
    void awaitBlockDue(int run);
    void finishSuccessfully();
    /// Stops the erase timeout and drops the image and what was sent of it.
    void discardImage();
    /// Drops the image, every download and any transfer step still
    /// scheduled, closes the dialog's link, and goes Idle.
    void abandonTransfer();
    void postFailureBox();
    void postBox(QMessageBox::Icon icon, const QString &title, const QString &text);

    bool autoupdateflag = false;
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

    Timings m_timings;
    /// The port name last connected to.
    QString openedPortName;
    /// Path of the local file loaded; empty for a downloaded image.
    QString loadedFile;
    QTimer *refreshTimer = nullptr;
    /// From Connected to the device's version reply.
    QTimer *identityTimer = nullptr;
    QLabel *linkHolderLabel = nullptr;
    /// Since the last block was written.
    QElapsedTimer blockClock;
    /// Counts abandoned transfers: a scheduled step of an earlier one does nothing.
    int transferRun = 0;
    /// Counts abandoned downloads: a reply of an earlier one is ignored.
    int downloadRun = 0;
    QList<QPointer<QNetworkReply>> replies;
    /// The online image (or its checksum) is being fetched.
    bool downloadingImage = false;
    /// startUpgrade() waits for the device's version reply.
    bool startPending = false;
    /// The Upgrade button may be pressed: an image was loaded since the last attempt.
    bool upgradeArmed = true;
    BoxQueue boxes;
};
