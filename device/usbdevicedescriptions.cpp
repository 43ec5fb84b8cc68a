#include "device/usbdevicedescriptions.h"

#include "device/devicesource.h"

#include <limits>

namespace {

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u <= '9')
        return u - '0';
    return (u | 0x20) - 'a' + 10;
}

bool isCSpace(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

/// Reads text from index `from` the way wcstol(text, nullptr, 16) does with a
/// 32-bit long: leading white space, an optional sign and "0x", then hex
/// digits up to the first other character; no digits give 0, out-of-range
/// values saturate.
int readHexLikeWcstol(const QString &text, int from)
{
    int i = from;
    const int n = text.size();
    while (i < n && isCSpace(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i + 2 < n && text.at(i) == QLatin1Char('0')
        && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))
        && isHexDigit(text.at(i + 2)))
        i += 2;

    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 value = 0;
    for (; i < n && isHexDigit(text.at(i)); ++i) {
        if (value <= limit)
            value = value * 16 + hexValue(text.at(i));
    }
    if (negative)
        return value >= limit ? std::numeric_limits<qint32>::min() : int(-value);
    return value >= limit ? std::numeric_limits<qint32>::max() : int(value);
}

/// Vendor and product id from an instance id such as USB\VID_1A86&PID_7523\5&2A1B.
UsbId usbIdFromInstanceId(const QString &instanceId)
{
    UsbId id;
    int start = 0;
    const int n = instanceId.size();
    for (int i = 0; i <= n; ++i) {
        if (i < n) {
            const QChar c = instanceId.at(i);
            if (c != QLatin1Char('\\') && c != QLatin1Char('#') && c != QLatin1Char('&'))
                continue;
        }
        const QString token = instanceId.mid(start, i - start);
        if (token.startsWith(QLatin1String("VID_")))
            id.vendorId = readHexLikeWcstol(token, 4);
        else if (token.startsWith(QLatin1String("PID_")))
            id.productId = readHexLikeWcstol(token, 4);
        start = i + 1;
    }
    return id;
}

} // namespace

QMap<UsbId, QString> usbDeviceDescriptions(const GUID *classGuid, const wchar_t *enumerator,
                                           const wchar_t *prefix, bool filterByPrefix)
{
    // The device source lists the present USB devices of every class; the
    // enumerator is honoured through the instance id's first part ("USB\...").
    Q_UNUSED(classGuid);
    const QString enumeratorTag = enumerator && *enumerator
                                      ? QString::fromWCharArray(enumerator) + QLatin1Char('\\')
                                      : QString();
    const QString prefixText = prefix ? QString::fromWCharArray(prefix) : QString();

    QMap<UsbId, QString> descriptions;
    const QList<UsbDeviceRecord> devices = DeviceSource::current()->usbDevices();
    for (const UsbDeviceRecord &device : devices) {
        if (!enumeratorTag.isEmpty()
            && !device.instanceId.startsWith(enumeratorTag, Qt::CaseInsensitive))
            continue;
        if (filterByPrefix && !device.description.startsWith(prefixText, Qt::CaseSensitive))
            continue;
        const UsbId id = usbIdFromInstanceId(device.instanceId);
        if (!descriptions.contains(id))
            descriptions.insert(id, device.description);
    }
    return descriptions;
}
