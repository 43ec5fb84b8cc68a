#pragma once

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

    SerialPort(QComboBox *combo, QString prefix, QObject *parent);

    /// Opens the port for reading and writing; tells the user and returns
    /// false when it cannot.
    bool openPort(QString portName, int baudRate);

    /// Classifies one F0..F7 packet cut from the stream and emits its frames.
    void processPacket(QByteArray &packet);

    /// Looks for the model and version replies in a receive buffer.
    void parseVersion(QByteArray data);

    /// Refreshes the device list without the description filter, logging every port.
    void initPort2();

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

public slots:
    void initPort();
    void updatePortStatus();
    void readDataSlot();

private:
    QComboBox *deviceCombo;
    /// The receive buffer between reads, with the framing that cuts it.
    StreamFramer msgBuffer;
    QString descriptionPrefix;
    QTimer *portScanTimer;
    QTimer *statusTimer;
    QStringList knownPorts;
    QStringList missingPorts;
    bool reading = false;
    bool inputHeld = false;

    void refreshDeviceList(bool filterByPrefix, bool logPorts);
    void emitFrame(int type, const QByteArray &frame);
    /// Readers of each text reply: identity, erase confirmation, showdata.
    void inspectBuffer(const QByteArray &reply);
    class LinkSink;
};
