#include "device/serialport.h"

#include "device/devicesource.h"
#include "device/identity.h"
#include "device/portaccess.h"
#include "device/streamframer.h"
#include "core/logging.h"

#include <QComboBox>
#include <QIcon>
#include <QMessageBox>
#include <QPair>
#include <QTimer>
#include <QVector>

namespace {

const wchar_t kUsbEnumerator[] = L"USB";

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace

/// Forwards what the framer finds to the link's signals.
class SerialPort::LinkSink : public StreamFramer::Sink
{
public:
    explicit LinkSink(SerialPort *port) : m_port(port) {}
    void frame(int type, const QByteArray &bytes) override { m_port->emitFrame(type, bytes); }
    void rejected(const QByteArray &bytes) override
    {
        qCDebug(lcLink) << "Skipped" << bytes.size() << "bytes:" << hexBytes(bytes.left(64));
    }
    void text(const QByteArray &reply) override { m_port->inspectBuffer(reply); }
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

QList<ControllerPort> SerialPort::listControllers(bool filterByPrefix, bool logPorts) const
{
    const std::wstring prefix = descriptionPrefix.toStdWString();
    const QMap<UsbId, QString> descriptions =
        usbDeviceDescriptions(nullptr, kUsbEnumerator, prefix.c_str(), filterByPrefix);

    // Listing the serial ports is the costly part of a scan (tens of ms on
    // Linux); with no matching USB device no port can be listed, so skip it.
    const QList<SerialPortRecord> ports = descriptions.isEmpty() && !logPorts
                                              ? QList<SerialPortRecord>()
                                              : DeviceSource::current()->serialPorts();
    QList<ControllerPort> present;
    for (const SerialPortRecord &port : ports) {
        if (logPorts)
            qCDebug(lcLink) << "VID:" << port.vendorId << ", PID:" << port.productId
                     << ", description:" << port.description << ", locate:" << port.systemLocation
                     << ", number:" << port.serialNumber << ", manufacturer:" << port.manufacturer;
        const auto found = descriptions.constFind(UsbId{port.productId, port.vendorId});
        if (found != descriptions.constEnd())
            present.append({port.portName, found.value(), port.serialNumber});
    }
    return present;
}

QList<ControllerPort> SerialPort::presentControllers() const
{
    return listControllers(true, false);
}

void SerialPort::refreshDeviceList(bool filterByPrefix, bool logPorts)
{
    // Controllers present now, in listing order: description and port name.
    QList<QPair<QString, QString>> present;
    for (const ControllerPort &controller : listControllers(filterByPrefix, logPorts))
        present.append({controller.description, controller.portName});

    // Every controller keeps an entry of its own, even where several share a
    // description. An entry stays while its own port is present; one whose
    // port is gone stays, under its old port name, while a controller of its
    // description is present that no other entry stands for (it came back
    // under another name before a scan missed it).
    const int count = deviceCombo->count();
    QVector<bool> kept(count, false);
    for (int i = 0; i < count; ++i) {
        const int at = present.indexOf({deviceCombo->itemText(i),
                                        deviceCombo->itemData(i, Qt::UserRole).toString()});
        if (at >= 0) {
            kept[i] = true;
            present.removeAt(at);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (kept.at(i))
            continue;
        const QString text = deviceCombo->itemText(i);
        for (int at = 0; at < present.size(); ++at) {
            if (present.at(at).first == text) {
                kept[i] = true;
                present.removeAt(at);
                break;
            }
        }
    }
    for (int i = count - 1; i >= 0; --i) {
        if (!kept.at(i))
            deviceCombo->removeItem(i);
    }
    // The entry's text is the controller's USB description; two of one
    // model tell apart by the port their tool tip names.
    for (const auto &controller : qAsConst(present)) {
        deviceCombo->addItem(controller.first, controller.second);
        deviceCombo->setItemData(deviceCombo->count() - 1, controller.second, Qt::ToolTipRole);
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

bool SerialPort::selectDevice(const ControllerPort &controller)
{
    initPort();
    int entry = -1;
    for (int i = 0; i < deviceCombo->count() && entry < 0; ++i) {
        if (deviceCombo->itemText(i) == controller.description
            && deviceCombo->itemData(i, Qt::UserRole).toString() == controller.portName)
            entry = i;
    }
    if (entry < 0) {
        QStringList presentPorts;
        for (const ControllerPort &port : presentControllers())
            presentPorts.append(port.portName);
        for (int i = 0; i < deviceCombo->count() && entry < 0; ++i) {
            if (deviceCombo->itemText(i) == controller.description
                && !presentPorts.contains(deviceCombo->itemData(i, Qt::UserRole).toString())) {
                deviceCombo->setItemData(i, controller.portName, Qt::UserRole);
                deviceCombo->setItemData(i, controller.portName, Qt::ToolTipRole);
                entry = i;
            }
        }
    }
    if (entry >= 0)
        deviceCombo->setCurrentIndex(entry);
    return entry >= 0;
}

bool SerialPort::openQuietly(const QString &portName, int baudRate)
{
    msgBuffer.clear();
    if (portName.isEmpty())
        return false;
    setPortName(portName);
    setBaudRate(baudRate, QSerialPort::AllDirections);
    return open(QIODevice::ReadWrite);
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
    if (!openQuietly(portName, baudRate)) {
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

void SerialPort::setHolder(Holder holder)
{
    if (holder == m_holder)
        return;
    m_holder = holder;
    emit holderChanged(holder);
}

qint64 SerialPort::upgradeWrite(const QByteArray &bytes)
{
    const bool was = m_upgradeWriting;
    m_upgradeWriting = true;
    const qint64 written = write(bytes);
    m_upgradeWriting = was;
    return written;
}

void SerialPort::close()
{
    QSerialPort::close();
    setHolder(Holder::Nobody);
}

qint64 SerialPort::writeData(const char *data, qint64 size)
{
    if (m_holder == Holder::FirmwareUpgrade && !m_upgradeWriting) {
        qCWarning(lcLink) << "Write of" << size << "bytes refused: the firmware upgrade holds the link";
        return -1;
    }
    return QSerialPort::writeData(data, size);
}

void SerialPort::readDataSlot()
{
    // A receiver of the frames may re-enter the event loop; a read asked
    // for there waits until this one is done instead of cutting into its work.
    if (reading || inputHeld)
        return;
    reading = true;
    LinkSink sink(this);
    // The port does not announce bytes that come while a receiver waits in
    // the event loop: they are read here, after the bytes before them.
    do {
        msgBuffer.feed(readAll(), sink);
    } while (!inputHeld && isOpen() && bytesAvailable() > 0);
    reading = false;
}

void SerialPort::setInputHeld(bool held)
{
    inputHeld = held;
    if (!held && !reading && isOpen() && bytesAvailable() > 0)
        readDataSlot();
}

void SerialPort::inspectBuffer(const QByteArray &reply)
{
    qCDebug(lcLinkFrames) << "Text reply:" << hexBytes(reply);
    parseVersion(reply);
    if (reply.contains("ERASE END"))
        emit send_erase(true);
    emit showdata(reply);
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
    // Part of the identity exchange, which the upgrade's device answers too.
    const qint64 written = upgradeWrite(Identity::versionQuery());
    if (written < 0)
        qCDebug(lcLink) << "Version query failed:" << errorString();
    else
        qCDebug(lcLink) << "Version query written:" << written << "bytes";
}
