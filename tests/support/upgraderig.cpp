#include "support/upgraderig.h"

#include "ui_upgrade_dialog.h"
#include "update/downloadserver.h"
#include "upgrade/updatetext.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

UpgradeRig::UpgradeRig(const QString &model) : device(model)
{
    device.setMode(SimulatedController::Mode::Upgrade);
    device.setEraseDelay(10);
    source.addController(&device);
    DownloadServer::setBase(QUrl(server.baseUrl()));
    if (const UpdateText::OnlineModel *online = UpdateText::onlineModelFor(model))
        server.serve(online->textPath,
                     (online->product + "_V" + device.behaviour().firmwareVersion()).toUtf8());
    dialog.setTimings(fastTimings());
}

UpgradeRig::~UpgradeRig()
{
    DownloadServer::setBase(QUrl());
}

upgrade_dialog::Timings UpgradeRig::fastTimings()
{
    upgrade_dialog::Timings t;
    t.blockIntervalMs = 2;
    t.finalizeMs = 40;
    t.successStepMs = 5;
    t.eraseTimeoutMs = 150;
    t.transferTimeoutMs = 400;
    return t;
}

bool UpgradeRig::connect()
{
    dialog.refreshDeviceList();
    if (dialog.ui->comboBox->count() == 0)
        return false;
    dialog.ui->pushButton->click();
    return QTest::qWaitFor([this] { return log().contains(QLatin1String("Current Firmware:")); },
                           3000);
}

bool UpgradeRig::onlineCheckDone()
{
    return QTest::qWaitFor([this] {
        return log().contains(QLatin1String("Already the latest version."))
               || log().contains(QLatin1String("Online update check failed."));
    }, 3000);
}

bool UpgradeRig::loadImage(const QByteArray &image, const QString &fileName)
{
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return false;
    file.close();
    files.answerWith({path});
    dialog.ui->pushButton_3->click();
    return dialog.image() == image;
}

bool UpgradeRig::upgradeWith(const QByteArray &image)
{
    if (!loadImage(image))
        return false;
    const int before = boxes.seen().size();
    dialog.ui->pushButton_4->click();
    return QTest::qWaitFor([this, before] { return boxes.seen().size() > before; },
                           5000 + image.size());
}

QString UpgradeRig::log() const
{
    return dialog.ui->textBrowser->toPlainText();
}
