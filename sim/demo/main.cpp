// The real main window in front of two simulated controllers, a ZT-3 and a
// QRX-20, for trying the program without hardware. Both appear in the device
// list; connect to one and watch the exchange on standard error.
#include "app/appstylesheet.h"
#include "app/startup.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "sim/controllerbehaviour.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"

#include <QApplication>
#include <QDebug>
#include <QTimer>

namespace {

constexpr int burstPeriodMs = 4000;
constexpr int burstEvents = 16;
constexpr int eventSpacingMs = 60;

void logTraffic(SimulatedController *controller)
{
    const QString tag = QStringLiteral("[%1 %2]").arg(controller->model().name,
                                                     controller->portName());
    QObject::connect(controller, &SimulatedController::bytesReceived, controller,
                     [tag](const QByteArray &bytes) {
                         qInfo().noquote() << tag << "<-" << bytes.toHex(' ').toUpper();
                     });
    QObject::connect(controller, &SimulatedController::bytesSent, controller,
                     [tag](const QByteArray &bytes) {
                         qInfo().noquote() << tag << "->" << bytes.toHex(' ').toUpper();
                     });
    QObject::connect(controller, &SimulatedController::hostConnectedChanged, controller,
                     [tag](bool connected) {
                         qInfo().noquote() << tag << (connected ? "port opened" : "port closed");
                     });
}

/// Now and then a short run of pedal events: a sweep, a hi-hat, a switch.
void sendBursts(SimulatedController *controller, int offsetMs)
{
    auto *timer = new QTimer(controller);
    QObject::connect(timer, &QTimer::timeout, controller, [controller] {
        if (!controller->isHostConnected())
            return;
        for (int i = 0; i < burstEvents; ++i)
            controller->send(ControllerBehaviour::demoEvent(i), i * eventSpacingMs);
    });
    QTimer::singleShot(offsetMs, timer, [timer] { timer->start(burstPeriodMs); });
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
    qrx20->behaviour().setStatusAfterHandshake(0x05); // pedals 1 and 3 plugged in
    for (SimulatedController *c : {zt3, qrx20}) {
        if (!c->isPluggedIn()) {
            qCritical() << "cannot open a pseudo-terminal:" << c->errorString();
            return 1;
        }
        c->setReplyDelay(3);
        logTraffic(c);
        qInfo().noquote() << "simulated" << c->model().usbDescription << "on" << c->portName();
    }
    sendBursts(zt3, 1000);
    sendBursts(qrx20, 3000);
    SimulatedDeviceSource source({zt3, qrx20});
    DeviceSource::setCurrent(&source);

    int result = 0;
    {
        Widget window;
        result = runMainWindow(app, window);
    }
    DeviceSource::setCurrent(nullptr);
    return result;
}
