// The real main window in front of two simulated controllers, a ZT-3 and a
// QRX-20, for trying the program without hardware. Both appear in the device
// list; connect to one and watch the exchange on standard error, and the
// pedal pictures and MIDI data tables follow the pedals being played. A third
// controller, a ZT-3 already in firmware-upgrade mode, and a local download
// server with a newer ZT-3 firmware let the upgrade dialogs run end to end.
#include "app/appstylesheet.h"
#include "app/startup.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "sim/controllerbehaviour.h"
#include "sim/localdownloadserver.h"
#include "sim/pseudorandombytes.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "update/downloadserver.h"
#include "update/installer.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <memory>

namespace {

/// The demonstration player's clock: one step every 50 ms.
constexpr int stepMs = 50;

/// Live event packets are what the monitor's tables show; the log keeps to
/// commands and replies.
bool isLiveEvent(const QByteArray &bytes)
{
    return bytes.size() % 4 == 0 && !bytes.startsWith(char(0xF0)) && !bytes.startsWith(char(0xAA));
}

/// Commands and replies byte by byte; firmware image bytes only as a total
/// once they stop coming.
void logTraffic(SimulatedController *controller)
{
    const auto tag = [controller] {
        return QStringLiteral("[%1 %2]").arg(controller->usbDescription(), controller->portName());
    };
    QObject::connect(controller, &SimulatedController::bytesReceived, controller,
                     [controller, tag](const QByteArray &bytes) {
                         if (!controller->isReceivingImage())
                             qInfo().noquote() << tag() << "<-" << bytes.toHex(' ').toUpper();
                     });
    QObject::connect(controller, &SimulatedController::bytesSent, controller,
                     [tag](const QByteArray &bytes) {
                         if (!isLiveEvent(bytes))
                             qInfo().noquote() << tag() << "->" << bytes.toHex(' ').toUpper();
                     });
    QObject::connect(controller, &SimulatedController::hostConnectedChanged, controller,
                     [tag](bool connected) {
                         qInfo().noquote() << tag() << (connected ? "port opened" : "port closed");
                     });
    QObject::connect(controller, &SimulatedController::commandReceived, controller,
                     [tag](int kind) {
                         if (kind == ControllerCommand::Erase)
                             qInfo().noquote() << tag() << "erase: a new image follows";
                     });
    QObject::connect(controller, &SimulatedController::modeChanged, controller, [tag](int mode) {
        qInfo().noquote() << tag() << "re-enumerated in"
                          << (mode == int(SimulatedController::Mode::Upgrade) ? "upgrade mode"
                                                                              : "normal mode");
    });
    auto *quiet = new QTimer(controller);
    quiet->setSingleShot(true);
    quiet->setInterval(500);
    QObject::connect(controller, &SimulatedController::imageBytesReceived, quiet,
                     qOverload<>(&QTimer::start));
    QObject::connect(quiet, &QTimer::timeout, controller, [controller, tag] {
        qInfo().noquote() << tag() << "image:" << controller->receivedImage().size()
                          << "bytes in" << controller->imageChunks() << "reads";
    });
}

/// The vendor's update text and a newer firmware for the ZT-3, and a newer
/// release of the application.
void serveFirmware(LocalDownloadServer &server)
{
    const QString dir = QStringLiteral("download/Product/ZT-3/Update/");
    server.serve(dir + QStringLiteral("ZT-3_Update.txt"),
                 "ZT-3_V1.3.0\nUpdate content:\n- Faster expression response\n");
    server.serveWithChecksum(dir + QStringLiteral("ZT-3_V1.3.0.bin"), pseudoRandomBytes(20000, 13));
    // A newer release of the application, whose "installer" only says so.
    const QString app = QStringLiteral("download/Product/Stompwright/Update/");
    server.serve(app + QStringLiteral("Stompwright_UpdateWin.txt"),
                 "Stompwright_V5.0.0\nUpdate content:\n- A demonstration release\n");
    server.serve(app + QStringLiteral("Stompwright_V5.0.0.exe"),
                 "#!/bin/sh\necho \"Stompwright 5.0.0 demo installer: nothing is installed.\"\n");
    // Off Windows the offer leads to the product's download page instead.
    server.serve(Installer::downloadPagePath(),
                 "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Stompwright "
                 "downloads</title></head>\n<body><h1>Stompwright 5.0.0</h1>\n<p>A demonstration "
                 "release: there is nothing to download.</p></body></html>\n");
    QObject::connect(&server, &LocalDownloadServer::requestReceived, &server,
                     [](const QString &path) { qInfo().noquote() << "[download] GET" << path; });
}

/// Someone playing the pedals while a host is connected: the expression
/// pedal rocks slowly up and down (CC 11), the switch is pressed and
/// released every 2.5 s (CC 64), and every 4 s the hi-hat pedal closes
/// (CC 4) with a chick (note 44 on channel 10).
void playPedals(SimulatedController *controller, int offsetSteps)
{
    auto *timer = new QTimer(controller);
    auto step = std::make_shared<int>(offsetSteps);
    QObject::connect(timer, &QTimer::timeout, controller, [controller, step] {
        if (!controller->isHostConnected()
            || controller->mode() != SimulatedController::Mode::Normal)
            return;
        const int s = (*step)++;
        // A triangle over 80 steps (4 s), 0..127, sent every other step.
        if (s % 2 == 0) {
            const int phase = s % 80;
            const int value = (phase < 40 ? phase : 80 - phase) * 127 / 40;
            controller->sendEvent(0xB0, 11, quint8(value));
        }
        switch (s % 50) {
        case 0: controller->sendEvent(0xB0, 64, 127); break;
        case 3: controller->sendEvent(0xB0, 64, 0); break;
        default: break;
        }
        switch (s % 80) {
        case 40: controller->sendEvent(0xB0, 4, 64); break;
        case 42: controller->sendEvent(0xB0, 4, 127); break;
        case 43: controller->sendEvent(0x99, 44, 100); break;
        case 46: controller->sendEvent(0x89, 44, 0); break;
        case 50: controller->sendEvent(0xB0, 4, 0); break;
        default: break;
        }
    });
    timer->start(stepMs);
}

/// Definitions the controllers hold from the start, so that Check brings
/// something other than the factory settings into the editor.
void storeExamples(ControllerBehaviour &zt3, ControllerBehaviour &qrx20)
{
    // p, m, type, channel, event, dataA, dataB, valueA, valueB, mode, gain,
    // level, press, release, curve, curve code, level high
    const auto def = [](std::initializer_list<int> bytes) {
        QByteArray d;
        for (int b : bytes)
            d.append(char(b));
        return d;
    };
    // Pedal 1, message 1: Pitch Bend from 16383 down to 0, trigger level 300.
    zt3.store(def({0, 0, 1, 0, 3, 0x7F, 0x00, 0x7F, 0x00, 0, 50, 0x2C, 60, 62, 50, 0, 0x01}));
    // Pedal 2, message 1: CC 80 toggling between 100 and 20.
    zt3.store(def({1, 0, 2, 1, 0, 80, 0, 100, 20, 1, 0, 0, 0, 0, 0, 0, 0}));
    // Pedal 3, message 2: a hi-hat on note 42, range 10 to 110.
    zt3.store(def({2, 1, 3, 9, 2, 42, 0, 10, 110, 0, 60, 0, 0, 0, 40, 0, 0}));
    // Pedal 4, message 1: Tempo.
    zt3.store(def({3, 0, 2, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Pedal 1, message 1: Channel Pressure from 20 to 100.
    qrx20.store(def({0, 0, 1, 2, 4, 20, 100, 0, 0, 0, 50, 0, 0, 0, 50, 0, 0}));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());

    // The controllers must be listed before the window's first port scan.
    auto *zt3 = new SimulatedController(QStringLiteral("ZT-3"), &app);
    auto *qrx20 = new SimulatedController(QStringLiteral("QRX-20"), &app);
    auto *bootloader = new SimulatedController(QStringLiteral("ZT-3"), &app);
    bootloader->setMode(SimulatedController::Mode::Upgrade);
    qrx20->behaviour().setStatusAfterHandshake(0x05); // pedals 1 and 3 plugged in
    storeExamples(zt3->behaviour(), qrx20->behaviour());
    for (SimulatedController *c : {zt3, qrx20, bootloader}) {
        if (!c->isPluggedIn()) {
            qCritical() << "cannot open a pseudo-terminal:" << c->errorString();
            return 1;
        }
        c->setReplyDelay(3);
        logTraffic(c);
        qInfo().noquote() << "simulated" << c->usbDescription() << "on" << c->portName();
    }
    playPedals(zt3, 0);
    playPedals(qrx20, 25);
    SimulatedDeviceSource source({zt3, qrx20, bootloader});
    DeviceSource::setCurrent(&source);

    LocalDownloadServer server;
    if (!server.isListening()) {
        qCritical() << "cannot listen on 127.0.0.1";
        return 1;
    }
    serveFirmware(server);
    DownloadServer::setBase(QUrl(server.baseUrl()));
    qInfo().noquote() << "download server at" << server.baseUrl();

    // A firmware file for "Open File".
    const QString sampleImage = QDir::temp().filePath(QStringLiteral("stompwright-demo-firmware.bin"));
    QFile sample(sampleImage);
    if (sample.open(QIODevice::WriteOnly) && sample.write(pseudoRandomBytes(10000, 17)) == 10000)
        qInfo().noquote() << "sample firmware image:" << sampleImage;
    else
        qWarning().noquote() << "cannot write" << sampleImage << sample.errorString();
    sample.close();

    int result = 0;
    {
        Widget window;
        result = runMainWindow(app, window);
    }
    DeviceSource::setCurrent(nullptr);
    DownloadServer::setBase(QUrl());
    return result;
}
