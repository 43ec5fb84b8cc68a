// The main window's check for a newer release of the application, and the
// download and start of its installer.
#include "app/widget.h"

#include "app/customdialog.h"
#include "core/logging.h"
#include "app/releasenotice.h"
#include "update/appversion.h"
#include "update/downloadcheck.h"
#include "update/downloadserver.h"
#include "update/updatecheckdialog.h"
#include "upgrade/updatetext.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>

void Widget::checkForAppUpdate(bool manual)
{
    auto *dialog = new UpdateCheckDialog(this);
    updateCheckDialog = dialog;
    auto *manager = new QNetworkAccessManager(this);
    QNetworkReply *reply = manager->get(DownloadCheck::request(
        DownloadServer::url(AppVersion::versionTextPath()), m_autoTimings.transferTimeoutMs));
    connect(reply, &QNetworkReply::finished, this, [this, dialog, reply, manual] {
        handleAppVersionText(dialog, reply, manual);
    });
}

void Widget::handleAppVersionText(UpdateCheckDialog *dialog, QNetworkReply *reply, bool manual)
{
    reply->deleteLater();
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        // Nothing is shown: the dialog stays hidden.
        dialog->label->setText(QStringLiteral("Update file download failed: ") + failure);
        qCDebug(lcUpgrade) << "application update text:" << failure;
        return;
    }
    const QString text = QString::fromUtf8(body);
    const QString token = UpdateText::versionToken(text, AppVersion::productName());
    if (token.isEmpty()) {
        dialog->label->setText(QStringLiteral("Update check finished, but no version info found."));
        return;
    }
    const QString current = AppVersion::withoutV(aboutDialog->versionText());
    const QString release = AppVersion::releaseNumber(token);
    if (AppVersion::isOffered(manual, current, release)) {
        dialog->token = token;
        dialog->release = release;
        dialog->setWindowTitle(QStringLiteral("Update Available"));
        dialog->label->setText(QStringLiteral("The current version is: V%1\nA new version is "
                                              "available: %2\n\nUpdate Content:\n%3")
                                   .arg(current, token, UpdateText::description(text)));
        dialog->downloadButton->setEnabled(true);
        connect(dialog->downloadButton, &QPushButton::clicked, this,
                [this, dialog] { downloadInstaller(dialog); });
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

void Widget::downloadInstaller(UpdateCheckDialog *dialog)
{
    dialog->label->setText(QStringLiteral("Downloading update, please wait..."));
    dialog->progressBar->setValue(0);
    dialog->progressBar->show();
    dialog->downloadButton->setEnabled(false);
    auto *manager = new QNetworkAccessManager(this);
    QNetworkReply *reply = manager->get(DownloadCheck::request(
        DownloadServer::url(AppVersion::installerPath(dialog->release)),
        m_autoTimings.transferTimeoutMs));
    dialog->download = reply;
    connect(reply, &QNetworkReply::downloadProgress, dialog,
            [dialog](qint64 received, qint64 total) {
                if (total > 0)
                    dialog->progressBar->setValue(int(received * 100 / total));
            });
    connect(reply, &QNetworkReply::finished, this, [this, dialog, reply, manager] {
        onInstallerDownloaded(dialog, reply);
        manager->deleteLater();
    });
}

void Widget::onInstallerDownloaded(UpdateCheckDialog *dialog, QNetworkReply *reply)
{
    reply->deleteLater();
    if (dialog->cancelled) {
        qCDebug(lcUpgrade) << "Download canceled by user.";
        dialog->reject();
        return;
    }
    // A page of another status or an empty body is no installer: nothing is
    // saved or started, as for any failed download.
    QByteArray body;
    const QString failure = DownloadCheck::take(*reply, &body, m_autoTimings.transferTimeoutMs);
    if (!failure.isEmpty()) {
        qCDebug(lcUpgrade) << "EXE download failed:" << failure;
        dialog->reject();
        return;
    }
    const QString path = AppVersion::savedInstallerPath(
        QStandardPaths::writableLocation(QStandardPaths::TempLocation), dialog->release);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCDebug(lcUpgrade) << "Failed to open file for writing.";
        return;
    }
    file.write(body);
    file.close();
    if (QFileInfo(path).size() == 0) {
        qCDebug(lcUpgrade) << "Downloaded EXE is empty!";
        return;
    }
    // Started by its path as a program, never split at blanks.
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    auto *process = new QProcess(this);
    process->setProgram(path);
    process->start();
    if (!process->waitForStarted(m_autoTimings.processStartMs)) {
        qCDebug(lcUpgrade) << "Failed to start EXE file!" << process->errorString();
        return;
    }
    qCDebug(lcUpgrade) << "Started downloaded EXE.";
    dialog->accept();
}
