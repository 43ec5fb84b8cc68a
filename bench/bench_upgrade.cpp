// A 64 KiB firmware image sent to a simulated controller in its upgrade mode
// over a pseudo-terminal at the product's pacing (one 64-byte block every
// 30 ms, 5 s of finalizing). Prints the time from the first block to the
// progress bar's 100 against its floor, 1024 x 30 ms + 5000 ms.
#include "bench/benchapp.h"
#include "device/devicesource.h"
#include "device/serialport.h"
#include "sim/pseudorandombytes.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "ui_upgrade_dialog.h"
#include "upgrade/upgrade_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    const BenchApp app(argc, argv);

    SimulatedController device(QStringLiteral("ZT-3"));
    device.setMode(SimulatedController::Mode::Upgrade);
    device.setEraseDelay(20);
    SimulatedDeviceSource source({&device});
    DeviceSource::setCurrent(&source);

    QComboBox mainList;
    SerialPort link(&mainList, QStringLiteral("Veltrano"), nullptr);
    upgrade_dialog dialog(nullptr, &link);
    dialog.refreshDeviceList();
    dialog.ui->pushButton->click();
    // As a user would: the device has told its model and version.
    if (!QTest::qWaitFor([&] { return !dialog.deviceFirmware().isEmpty(); }, 3000)) {
        std::printf("upgrade: cannot connect to the simulated controller\n");
        return 1;
    }

    constexpr int size = 64 * 1024;
    const QByteArray image = pseudoRandomBytes(size);

    QElapsedTimer clock;
    qint64 firstBlock = -1;
    qint64 hundred = -1;
    QObject::connect(&device, &SimulatedController::imageBytesReceived, &dialog, [&](qint64) {
        if (firstBlock < 0)
            firstBlock = clock.elapsed();
    });
    QObject::connect(dialog.ui->progressBar, &QProgressBar::valueChanged, &dialog, [&](int v) {
        if (v == 100)
            hundred = clock.elapsed();
    });
    // The success box is answered as soon as it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    closer.start(20);

    // A plain event loop: QTest's waits sleep between passes, which would
    // make every timer late.
    QEventLoop loop;
    QObject::connect(dialog.ui->progressBar, &QProgressBar::valueChanged, &loop, [&](int v) {
        if (v == 100)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    clock.start();
    // Connected and identified already: the upgrade starts at once.
    if (!dialog.startUpgrade(image, device.portName())) {
        std::printf("upgrade: the dialog did not start the upgrade\n");
        return 1;
    }
    loop.exec();
    if (hundred < 0 || device.receivedImage() != image) {
        std::printf("upgrade: the transfer did not complete (%d of %d bytes, state %s)\n",
                    int(device.receivedImage().size()), size,
                    qPrintable(upgrade_dialog::stateName(dialog.state())));

        return 1;
    }
    const double floorMs = 1024 * 30 + 5000;
    const double ms = double(hundred - firstBlock);
    std::printf("upgrade: 64 KiB image, first block to progress 100: %.0f ms, floor %.0f ms, "
                "ratio %.4f (%.2f ms over the floor per block)\n",
                ms, floorMs, ms / floorMs, (ms - floorMs) / 1024);
    DeviceSource::setCurrent(nullptr);
    return 0;
}
