#include "device/sysfsusbdevices.h"

#include <QDir>
#include <QFile>

namespace {

/// The first line of a sysfs attribute, or a null string when it cannot be read.
QString readAttribute(const QString &dir, const char *name)
{
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

/// A four-digit hex id such as "1a86"; -1 when the text is not one.
int parseId(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 16);
    return ok && value >= 0 && value <= 0xFFFF ? value : -1;
}

} // namespace

QList<UsbDeviceRecord> sysfsUsbDevices(const QString &root)
{
    QList<UsbDeviceRecord> devices;
    const QDir dir(root);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const int vendor = parseId(readAttribute(path, "idVendor"));
        const int product = parseId(readAttribute(path, "idProduct"));
        if (vendor < 0 || product < 0)
            continue; // interfaces ("1-1:1.0") carry no ids
        const QString description = readAttribute(path, "product");
        if (description.isEmpty())
            continue;
        const QString instanceId = QStringLiteral("USB\\VID_%1&PID_%2\\%3")
                                       .arg(vendor, 4, 16, QLatin1Char('0'))
                                       .arg(product, 4, 16, QLatin1Char('0'))
                                       .toUpper()
                                       .arg(name);
        devices.append({instanceId, description});
    }
    return devices;
}
