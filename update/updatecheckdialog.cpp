#include "update/updatecheckdialog.h"

#include "core/logging.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

UpdateCheckDialog::UpdateCheckDialog(QWidget *parent)
    : QDialog(parent), m_network(new QNetworkAccessManager(this))
{
    setWindowTitle(QStringLiteral("Checking Update..."));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(400, 200);

    auto *layout = new QVBoxLayout(this);
    label = new QLabel(QStringLiteral("Checking update information..."), this);
    layout->addWidget(label);
    progressBar = new QProgressBar(this);
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->hide();
    layout->addWidget(progressBar);
    auto *buttons = new QHBoxLayout;
    downloadButton = new QPushButton(QStringLiteral("Download"), this);
    downloadButton->setEnabled(false);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(downloadButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Cancel, Escape, the close button and the check's own end all finish
    // the dialog: that is the end of the check.
    connect(this, &QDialog::finished, this, [this] {
        dropDownload();
        deleteLater();
    });
}

UpdateCheckDialog::~UpdateCheckDialog()
{
    dropDownload();
}

void UpdateCheckDialog::setDownload(QNetworkReply *reply)
{
    m_download = reply;
}

void UpdateCheckDialog::dropDownload()
{
    if (!m_download || !m_download->isRunning())
        return;
    qCDebug(lcUpgrade) << "Download canceled by user.";
    m_download->disconnect();
    m_download->abort();
}
