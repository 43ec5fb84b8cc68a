#include "device/serialport.h"

#include "device/devicesource.h"
#include "device/identity.h"
#include "device/portaccess.h"
#include "device/streamframer.h"
#include "core/logging.h"

#include <QComboBox>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

namespace {

const wchar_t kUsbEnumerator[] = L"USB";

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString hexByte(quint8 b)
{
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

/// Forwards what the framer finds to the link's signals.
class SerialPort::LinkSink : public StreamFramer::Sink
{
public:
    explicit LinkSink(SerialPort *port) : m_port(port) {}
    void frame(int type, const QByteArray &bytes) override { m_port->emitFrame(type, bytes); }
    void rejected(const char *where, quint8 b0, quint8 b1) override
    {
        qCCritical(lcLink) << where << " invalid data:" << hexByte(b0) << hexByte(b1);
    }
    void incompleteGroup() override
    {
        qCDebug(lcLinkFrames) << "Incomplete 4-byte message, waiting for more data.";
    }
    void inspect(const QByteArray &buffer) override { m_port->inspectBuffer(buffer); }
    void packet(QByteArray &bytes) override
    {
        qCDebug(lcLink) << "Extracted packet:" << hexBytes(bytes);
        m_port->processPacket(bytes);
    }

private:
    SerialPort *m_port;
};

SerialPort::SerialPort(QComboBox *combo, QString prefix, QObject *parent)
    : QSerialPort(parent), deviceCombo(combo), descriptionPrefix(std::move(prefix))
{
    qRegisterMetaType<Protocol::MsgPackage>("Protocol::MsgPackage");
    initPort();
    connect(this, &QSerialPort::readyRead, this, &SerialPort::readDataSlot);
    portScanTimer = new QTimer(this);
    connect(portScanTimer, &QTimer::timeout, this, &SerialPort::initPort);
    portScanTimer->start(1000);
    statusTimer = new QTimer(this);
    connect(statusTimer, &QTimer::timeout, this, &SerialPort::updatePortStatus);
    // The presence poll: a device that disappears during a firmware upgrade
    // is noticed within this time.
    statusTimer->start(presencePollMs);
}

void SerialPort::initPort()
{
    refreshDeviceList(true, false);
}

void SerialPort::initPort2()
{
    refreshDeviceList(false, true);
}

void SerialPort::refreshDeviceList(bool filterByPrefix, bool logPorts)
{
    const std::wstring prefix = descriptionPrefix.toStdWString();
    const QMap<UsbId, QString> descriptions =
        usbDeviceDescriptions(nullptr, kUsbEnumerator, prefix.c_str(), filterByPrefix);

    QStringList existing;
    existing.reserve(deviceCombo->count());
    for (int i = 0; i < deviceCombo->count(); ++i)
        existing.append(deviceCombo->itemText(i));
    QStringList seen;

    // Listing the serial ports is the costly part of a scan (tens of ms on
    // Linux); with no matching USB device no port can be listed, so skip it.
    const QList<SerialPortRecord> ports = descriptions.isEmpty() && !logPorts
                                              ? QList<SerialPortRecord>()
                                              : DeviceSource::current()->serialPorts();
    for (const SerialPortRecord &port : ports) {
        if (logPorts)
            qCDebug(lcLink) << "VID:" << port.vendorId << ", PID:" << port.productId
                     << ", description:" << port.description << ", locate:" << port.systemLocation
                     << ", number:" << port.serialNumber << ", manufacturer:" << port.manufacturer;
        const auto found = descriptions.constFind(UsbId{port.productId, port.vendorId});
        if (found == descriptions.constEnd())
            continue;
        const QString &text = found.value();
        if (!existing.contains(text) && !seen.contains(text))
            deviceCombo->addItem(text, port.portName);
        seen.append(text);
    }
    for (const QString &text : qAsConst(existing)) {
        if (seen.contains(text))
            continue;
        const int index = deviceCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            deviceCombo->removeItem(index);
    }
}

void SerialPort::updatePortStatus()
{
    QStringList current;
    for (const SerialPortRecord &port : DeviceSource::current()->serialPorts())
        current.append(port.portName);
    for (const QString &name : qAsConst(knownPorts)) {
        if (!current.contains(name)) {
            missingPorts.append(name);
            emit portDisconnected(name);
        }
    }
    for (int i = missingPorts.size() - 1; i >= 0; --i) {
        const QString name = missingPorts.at(i);
        if (current.contains(name)) {
            emit portReconnected(name);
            missingPorts.removeAt(i);
        }
    }
    knownPorts = current;
}

bool SerialPort::openPort(QString portName, int baudRate)
{
    msgBuffer.clear();
    if (portName.isEmpty()) {
        QMessageBox box;
        box.setText(tr("port name error, please choose right com!"));
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setFocusPolicy(Qt::NoFocus);
        box.exec();
        return false;
    }
    setPortName(portName);
    setBaudRate(baudRate, QSerialPort::AllDirections);
    if (!open(QIODevice::ReadWrite)) {
        QMessageBox box;
        box.setText(tr("Device error"));
        box.setInformativeText(PortAccess::explainOpenFailure(error(), portName));
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setWindowIcon(QIcon(QStringLiteral(":/ico.png")));
        box.setFocusPolicy(Qt::NoFocus);
        box.exec();
        return false;
    }
    return true;
}

void SerialPort::readDataSlot()
{
    LinkSink sink(this);
    msgBuffer.feed(readAll(), sink);
}

void SerialPort::inspectBuffer(const QByteArray &buffer)
{
    qCDebug(lcLinkFrames) << "Buffer:" << hexBytes(buffer);
    parseVersion(buffer);
    if (buffer.contains("ERASE END"))
        emit send_erase(true);
    emit showdata(buffer);
}

void SerialPort::processPacket(QByteArray &packet)
{
    LinkSink sink(this);
    StreamFramer::processPacket(packet, extractedValue, sink);
}

void SerialPort::emitFrame(int type, const QByteArray &frame)
{
    qCDebug(lcLinkFrames) << "Emitting pedalMidiDataSignal with package.frame:" << hexBytes(frame);
    emit pedalMidiDataSignal(Protocol::MsgPackage{type, frame});
}

void SerialPort::parseVersion(QByteArray data)
{
    const Identity::LinkReading reading = Identity::readForLink(data);
    switch (reading.kind) {
    case Identity::LinkReading::Nothing:
        return;
    case Identity::LinkReading::PartialVersion:
        qCDebug(lcLink) << "version data::" << hexBytes(data);
        return;
    case Identity::LinkReading::Version:
        qCDebug(lcLink) << "version data::" << hexBytes(data);
        qCDebug(lcLink) << "Version:" << reading.text;
        if (forwardIdentity)
            emit send_vesion(reading.text);
        return;
    case Identity::LinkReading::Model:
        break;
    }
    qCDebug(lcLink) << "Device:" << reading.text;
    if (forwardIdentity)
        emit send_MTD(reading.text);
    const qint64 written = write(Identity::versionQuery());
    if (written < 0)
        qCDebug(lcLink) << "Version query failed:" << errorString();
    else
        qCDebug(lcLink) << "Version query written:" << written << "bytes";
}
