// The main window's check for a newer release of the application, and what
// follows an offer: the installer's download and start on Windows, the
// download page elsewhere.
#include "app/widget.h"

#include "app/customdialog.h"
#include "core/logging.h"
#include "core/releasenotice.h"
#include "update/appversion.h"
#include "update/downloadcheck.h"
#include "update/downloadserver.h"
#include "update/installer.h"
#include "update/updatecheckdialog.h"
#include "upgrade/updatetext.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>

UpdateCheckDialog *Widget::lastUpdateCheckDialog() const
{
    return updateCheckDialog.data();
}

void Widget::checkForAppUpdate(bool manual)
{
    auto *dialog = new UpdateCheckDialog(this);
    updateCheckDialog = dialog;
    QNetworkReply *reply = dialog->network()->get(DownloadCheck::request(
        DownloadServer::url(AppVersion::versionTextPath()), m_autoTimings.transferTimeoutMs));
    DownloadCheck::limitBody(reply, DownloadCheck::maxTextBytes);
    connect(reply, &QNetworkReply::finished, dialog, [this, dialog, reply, manual] {
        handleAppVersionText(dialog, reply, manual);
    });
}

void Widget::handleAppVersionText(UpdateCheckDialog *dialog, QNetworkReply *reply, bool manual)
{
    reply->deleteLater();
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        // Nothing is shown: the dialog was never visible.
        dialog->label->setText(QStringLiteral("Update file download failed: ") + failure);
        qCDebug(lcUpgrade) << "application update text:" << failure;
        dialog->reject();
        return;
    }
    const QString text = QString::fromUtf8(body);
    const QString token = UpdateText::versionToken(text, AppVersion::productName());
    if (token.isEmpty()) {
        dialog->label->setText(QStringLiteral("Update check finished, but no version info found."));
        dialog->reject();
        return;
    }
    const QString current = AppVersion::withoutV(aboutDialog->versionText());
    const QString release = AppVersion::releaseNumber(token);
    if (AppVersion::isOffered(manual, current, release)) {
        dialog->token = token;
        dialog->release = release;
        dialog->setWindowTitle(QStringLiteral("Update Available"));
        QString offer = QStringLiteral("The current version is: V%1\nA new version is "
                                       "available: %2\n\nUpdate Content:\n%3")
                            .arg(current, token, UpdateText::description(text));
        dialog->downloadButton->setEnabled(true);
        if (Installer::delivery() == Installer::Delivery::Installer) {
            connect(dialog->downloadButton, &QPushButton::clicked, this,
                    [this, dialog] { downloadInstaller(dialog); });
        } else {
            // The server's installer is a Windows program.
            offer += tr("\n\nThe installer on the server is for Windows. Get the new release "
                        "for this system from the download page:\n%1")
                         .arg(DownloadServer::url(Installer::downloadPagePath()).toString());
            dialog->label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            dialog->downloadButton->setText(tr("Open Download Page"));
            connect(dialog->downloadButton, &QPushButton::clicked, this,
                    [this, dialog] { openDownloadPage(dialog); });
        }
        dialog->label->setText(offer);
        dialog->show();
        return;
    }
    dialog->reject();
    if (!manual) {
        execLatestReleaseNotice(nullptr);
        return;
    }
    QMessageBox::information(this, QStringLiteral("Version Check"),
                             QStringLiteral("Your software is already up to date.\nCurrent "
                                            "version: V%1")
                                 .arg(current));
}

void Widget::openDownloadPage(UpdateCheckDialog *dialog)
{
    const QUrl page = DownloadServer::url(Installer::downloadPagePath());
    if (!QDesktopServices::openUrl(page)) {
        // The dialog keeps the address for the user to copy.
        QMessageBox::warning(dialog, tr("Update"),
                             tr("The download page could not be opened in the browser:\n%1")
                                 .arg(page.toString()));
        return;
    }
    dialog->accept();
}

void Widget::downloadInstaller(UpdateCheckDialog *dialog)
{
    if (Installer::delivery() != Installer::Delivery::Installer)
        return;
    dialog->label->setText(QStringLiteral("Downloading update, please wait..."));
    dialog->progressBar->setValue(0);
    dialog->progressBar->show();
    dialog->downloadButton->setEnabled(false);
    QNetworkReply *reply = dialog->network()->get(DownloadCheck::request(
        DownloadServer::url(AppVersion::installerPath(dialog->release)),
        m_autoTimings.transferTimeoutMs));
    dialog->setDownload(reply);
    DownloadCheck::limitBody(reply, Installer::maxBytes());
    connect(reply, &QNetworkReply::downloadProgress, dialog,
            [dialog](qint64 received, qint64 total) {
                if (total > 0)
                    dialog->progressBar->setValue(int(received * 100 / total));
            });
    connect(reply, &QNetworkReply::finished, dialog,
            [this, dialog, reply] { onInstallerDownloaded(dialog, reply); });
}

void Widget::onInstallerDownloaded(UpdateCheckDialog *dialog, QNetworkReply *reply)
{
    reply->deleteLater();
    // A page of another status or an empty body is no installer: nothing is
    // saved or started.
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        qCDebug(lcUpgrade) << "EXE download failed:" << failure;
        failInstallerDownload(dialog, tr("The installer could not be downloaded: %1").arg(failure));
        return;
    }
    // Empty when the system's temporary directory does not exist.
    const QString tempDir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString path = AppVersion::savedInstallerPath(tempDir, dialog->release);
    const QString unsaved = tempDir.isEmpty() ? tr("there is no temporary directory")
                                              : Installer::save(path, body);
    if (!unsaved.isEmpty()) {
        qCDebug(lcUpgrade) << "Failed to open file for writing." << unsaved;
        failInstallerDownload(dialog, tr("The installer was not saved: %1").arg(unsaved));
        return;
    }
    const QString unstarted = Installer::startDetached(path);
    if (!unstarted.isEmpty()) {
        qCDebug(lcUpgrade) << "Failed to start EXE file!" << unstarted;
        failInstallerDownload(dialog, tr("The installer was not started: %1").arg(unstarted));
        return;
    }
    qCDebug(lcUpgrade) << "Started downloaded EXE.";
    dialog->accept();
}

void Widget::failInstallerDownload(UpdateCheckDialog *dialog, const QString &message)
{
    dialog->reject();
    // Opened from the event queue, once the reply's handler has returned.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            replyBoxes.post(
                [this, message] { QMessageBox::warning(this, tr("Update Failed"), message); });
        },
        Qt::QueuedConnection);
}
