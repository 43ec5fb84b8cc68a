#include "update/updatecheckdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

UpdateCheckDialog::UpdateCheckDialog(QWidget *parent) : QDialog(parent)
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

    connect(cancelButton, &QPushButton::clicked, this, &UpdateCheckDialog::cancel);
}

void UpdateCheckDialog::cancel()
{
    cancelled = true;
    if (download && download->isRunning())
        download->abort();
    reject();
}
