// Where the upgrade dialog's image comes from: a local file, or the
// download server's update text and image for the model the device reports.
#include "upgrade/upgrade_dialog.h"
#include "ui_upgrade_dialog.h"

#include "core/filedialogs.h"
#include "core/logging.h"
#include "device/serialport.h"
#include "update/downloadcheck.h"
#include "update/downloadserver.h"
#include "upgrade/firmwareimage.h"
#include "upgrade/imagechecksum.h"
#include "upgrade/updatetext.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>

void upgrade_dialog::on_pushButton_3_clicked()
{
    if (upgradeState != Connected) {
        QMessageBox::warning(this, tr("Warning"), tr("Please connect the device first."));
        return;
    }
    const QString path = FileDialogs::current().getOpenFileName(
        this, tr("Select Firmware"), QString(), tr("Bin files (*.bin);;All files (*.*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, tr("Error"), tr("Cannot open file."));
        return;
    }
    // The size first: a file too large to be an image is not read at all.
    QString problem = FirmwareImage::sizeProblem(file.size());
    QByteArray bytes;
    if (problem.isEmpty()) {
        bytes = file.read(FirmwareImage::maxBytes + 1);
        problem = FirmwareImage::sizeProblem(bytes.size());
    }
    file.close();
    if (!problem.isEmpty()) {
        // The image loaded before stays.
        appendLog(QStringLiteral("<font color=\"red\">%1</font>").arg(problem));
        QMessageBox::warning(this, tr("Firmware Refused"), problem);
        return;
    }
    firmwareData = bytes;
    loadedFile = path;
    ui->lineEdit->setText(path);
    appendLog(tr("Local file loaded: %1 bytes").arg(firmwareData.size()));
    appendLog(QStringLiteral("<font color=\"green\">%1</font>")
                  .arg(tr("File loaded successfully. Click 'Start Upgrade' to begin.")));
    upgradeArmed = true;
    applyControls();
}

bool upgrade_dialog::verifyFirmware(QByteArray image, QString expectedMd5)
{
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
    appendLog(tr("Firmware MD5: %1").arg(digest));
    if (!expectedMd5.isEmpty() && expectedMd5 != digest) {
        appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                      .arg(tr("MD5 mismatch! Expected: %1").arg(expectedMd5)));
        return false;
    }
    return true;
}

void upgrade_dialog::checkForOnlineUpdate()
{
    const UpdateText::OnlineModel *model = UpdateText::onlineModelFor(productModel);
    if (!model) {
        appendLog(tr("Online update not supported for this device."));
        return;
    }
    const QString product = model->product;
    // Nothing has been started yet: without the server the device can still
    // be upgraded from a file, so the connection stays as it is.
    fetchWithRetry(
        DownloadServer::url(model->textPath),
        [this, product](QByteArray data) { handleUpdateText(product, data); }, retries,
        [this] { appendLog(tr("Online update check failed. A local file can still be used.")); });
}

void upgrade_dialog::fetchWithRetry(QUrl url, std::function<void(QByteArray)> onSuccess,
                                    int retriesLeft, std::function<void()> onGiveUp,
                                    qint64 maxBytes)
{
    auto *manager = new QNetworkAccessManager(this);
    const int timeoutMs = m_timings.transferTimeoutMs;
    QNetworkReply *reply = manager->get(DownloadCheck::request(url, timeoutMs));
    replies.append(reply);
    const int run = downloadRun;
    if (maxBytes >= 0)
        DownloadCheck::limitBody(reply, maxBytes);
    qCDebug(lcUpgrade) << "GET" << url.toString() << "retries left" << retriesLeft;

    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply](qint64 received, qint64 total) {
                if (total > 0 && DownloadCheck::oversize(*reply) < 0)
                    appendLog(tr("Download progress: %1%").arg(received * 100 / total));
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, manager, url, onSuccess, retriesLeft, onGiveUp, timeoutMs, run,
             maxBytes] {
                reply->deleteLater();
                manager->deleteLater();
                replies.removeAll(reply);
                if (run != downloadRun)
                    return; // aborted by its owner: nothing follows from it
                QByteArray body;
                const QString failure = DownloadCheck::take(*reply, &body, timeoutMs);
                if (DownloadCheck::oversize(*reply) >= 0) {
                    refuseImage(FirmwareImage::sizeProblem(DownloadCheck::oversize(*reply)));
                    return;
                }
                if (failure.isEmpty()) {
                    onSuccess(body);
                    return;
                }
                // A page of another status (a redirect, an error page) or an
                // empty body is never taken for the file asked for.
                appendLog(tr("Network error: %1").arg(failure));
                if (retriesLeft <= 0) {
                    if (onGiveUp) {
                        onGiveUp();
                    } else {
                        downloadingImage = false;
                        setUpgradeState(FinishedFailed);
                    }
                    return;
                }
                appendLog(tr("Retrying... (%1 attempts left)").arg(retriesLeft - 1));
                fetchWithRetry(url, onSuccess, retriesLeft - 1, onGiveUp, maxBytes);
            });
}

void upgrade_dialog::abortDownloads()
{
    ++downloadRun;
    downloadingImage = false;
    const QList<QPointer<QNetworkReply>> running = replies;
    replies.clear();
    for (const QPointer<QNetworkReply> &reply : running) {
        if (reply)
            reply->abort();
    }
}

void upgrade_dialog::refuseImage(const QString &reason)
{
    downloadingImage = false;
    discardImage();
    appendLog(QStringLiteral("<font color=\"red\">%1</font>").arg(reason));
    applyControls();
    postBox(QMessageBox::Warning, tr("Firmware Refused"), reason);
}

void upgrade_dialog::handleUpdateText(QString productName, QByteArray data)
{
    const QString text = QString::fromUtf8(data);
    const QString token = UpdateText::versionToken(text, productName);
    const QString description = UpdateText::description(text).trimmed();
    if (token.isEmpty()
        || UpdateText::compareVersionNumbers(UpdateText::parseVersionNumbers(token),
                                             UpdateText::parseVersionNumbers(currentFirmware))
               <= 0) {
        appendLog(tr("Already the latest version."));
        return;
    }
    const QString question =
        tr("Current: %1_%2\nNew version available: %3\n\nUpdate Content:\n%4")
            .arg(productName, currentFirmware, token,
                 description.isEmpty() ? tr("No description") : description);
    if (QMessageBox::question(this, tr("Update Available"), question,
                              QMessageBox::Ok | QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    downloadFirmware(DownloadServer::url(UpdateText::firmwarePath(productName, token)).toString(),
                     token);
}

void upgrade_dialog::downloadFirmware(QString url, QString versionToken)
{
    downloadingImage = true;
    applyControls();
    const int run = downloadRun;
    fetchWithRetry(QUrl(url), [this, url, versionToken, run](QByteArray body) {
        appendLog(tr("Downloaded new firmware: %1 (%2 bytes)").arg(versionToken).arg(body.size()));
        const QString problem = FirmwareImage::sizeProblem(body.size());
        if (!problem.isEmpty()) {
            refuseImage(problem);
            return;
        }
        QNetworkReply *reply = ImageChecksum::check(
            this, QUrl(url), body, m_timings.transferTimeoutMs,
            [this, body, run](const ImageChecksum::Result &result) {
                if (run != downloadRun)
                    return;
                switch (result.verdict) {
                case ImageChecksum::Verdict::Mismatch:
                    appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                                  .arg(tr("Checksum mismatch: the server gives %1, the image has %2.")
                                           .arg(QString::fromLatin1(result.expected.isEmpty()
                                                                        ? QByteArray("no valid checksum")
                                                                        : result.expected),
                                                QString::fromLatin1(result.actual))));
                    refuseImage(tr("The downloaded firmware does not match the checksum the server "
                                   "offers. Nothing was written to the device."));
                    return;
                case ImageChecksum::Verdict::Unavailable:
                    appendLog(QStringLiteral("<font color=\"red\">%1</font>")
                                  .arg(tr("The checksum offered for this firmware could not be "
                                          "read: %1")
                                           .arg(result.note.toHtmlEscaped())));
                    refuseImage(tr("The checksum for the downloaded firmware could not be read "
                                   "(%1). Nothing was written to the device.")
                                    .arg(result.note));
                    return;
                case ImageChecksum::Verdict::Missing:
                    appendLog(tr("No checksum offered for this firmware."));
                    break;
                case ImageChecksum::Verdict::Matches:
                    appendLog(tr("Checksum verified (SHA-256)."));
                    break;
                }
                flashDownloaded(body);
            });
        replies.append(reply);
    }, retries, {}, FirmwareImage::maxBytes);
}

void upgrade_dialog::flashDownloaded(const QByteArray &body)
{
    downloadingImage = false;
    firmwareData = body;
    loadedFile.clear();
    onlineFirmwareLoaded = true;
    // A fresh attempt, as one started by the Upgrade button: what an
    // earlier attempt left must not fail or silence this one.
    failureHandled = false;
    deviceRemoved = false;
    startErase();
    applyControls();
}
