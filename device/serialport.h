#pragma once

#include "device/controllerport.h"
#include "device/protocol.h"
#include "device/streamframer.h"
#include "device/usbdevicedescriptions.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class QComboBox;
class QTimer;

/// The link to the pedal controller: keeps the device list in step with the
/// controllers plugged in, opens the selected one and cuts its byte stream
/// into frames.
class SerialPort : public QSerialPort
{
    Q_OBJECT

public:
    /// Period of the presence poll (portDisconnected / portReconnected), ms.
    static constexpr int presencePollMs = 500;

    /// Who has the port open. While the firmware upgrade holds it, the
    /// device is (or becomes) a bootloader that takes every byte after its
    /// erase as image: only upgradeWrite() reaches it then.
    enum class Holder { Nobody, MainWindow, FirmwareUpgrade };
    Q_ENUM(Holder)

    SerialPort(QComboBox *combo, QString prefix, QObject *parent);

    /// Opens the port for reading and writing; tells the user and returns
    /// false when it cannot.
    bool openPort(QString portName, int baudRate);
    /// Opens the port as openPort() does, telling nobody when it cannot
    /// (error() says why).
    bool openQuietly(const QString &portName, int baudRate);

    /// The controllers present now: ports whose USB description starts with
    /// the prefix, in the system's listing order.
    QList<ControllerPort> presentControllers() const;
    /// Refreshes the device list and makes the controller's entry current.
    /// An entry of its description whose port has gone stands for it (it came
    /// back under another name before a scan missed it) and takes its port
    /// name. False when the list has no entry for it.
    bool selectDevice(const ControllerPort &controller);

    /// Classifies one F0..F7 packet cut from the stream and emits its frames.
    void processPacket(QByteArray &packet);

    /// Looks for the model and version replies in a receive buffer.
    void parseVersion(QByteArray data);

    /// Refreshes the device list without the description filter, logging every port.
    void initPort2();

    Holder holder() const { return m_holder; }
    /// Records who opened the port; Nobody again when it closes.
    void setHolder(Holder holder);
    /// The firmware upgrade's writes. Any other write is refused (returns
    /// -1) while the upgrade holds the link.
    qint64 upgradeWrite(const QByteArray &bytes);
    void close() override;
    /// While held, the link reads nothing: what the controller sends waits in
    /// the port (a backlog of live events is being worked off). Every other
    /// signal of the link keeps coming. Releasing reads what waits.
    void setInputHeld(bool held);
    bool isInputHeld() const { return inputHeld; }

    /// Byte xx of the last six-byte status reply F0 00 21 5E xx F7; -1 until one came.
    int extractedValue = -1;
    /// When set, recognised model and version replies are emitted as send_MTD/send_vesion.
    bool forwardIdentity = false;

signals:
    void pedalMidiDataSignal(Protocol::MsgPackage package);
    void send_erase(bool eraseflag);
    void showdata(QByteArray data);
    void send_MTD(QString MTD);
    void send_vesion(QString version);
    void portDisconnected(QString portName);
    void portReconnected(QString portName);
    void closePortSignal();
    void sendmtv(QString version, QString mtd);
    void holderChanged(SerialPort::Holder holder);

public slots:
    void initPort();
    void updatePortStatus();
    void readDataSlot();

protected:
    qint64 writeData(const char *data, qint64 size) override;

private:
    QComboBox *deviceCombo;
    /// The receive buffer between reads, with the framing that cuts it.
    StreamFramer msgBuffer;
    QString descriptionPrefix;
    QTimer *portScanTimer;
    QTimer *statusTimer;
    QStringList knownPorts;
    QStringList missingPorts;
    Holder m_holder = Holder::Nobody;
    bool m_upgradeWriting = false;
    bool reading = false;
    bool inputHeld = false;

    void refreshDeviceList(bool filterByPrefix, bool logPorts);
    QList<ControllerPort> listControllers(bool filterByPrefix, bool logPorts) const;
    void emitFrame(int type, const QByteArray &frame);
    /// Readers of each text reply: identity, erase confirmation, showdata.
    void inspectBuffer(const QByteArray &reply);
    class LinkSink;
};
