#pragma once

#include <QMap>
#include <QString>

#ifdef Q_OS_WIN
#include <guiddef.h>
#else
struct _GUID;
typedef struct _GUID GUID;
#endif

/// A USB device's ids: product id first, vendor id second, ordered that way.
struct UsbId {
    int productId = 0;
    int vendorId = 0;

    friend bool operator<(const UsbId &a, const UsbId &b)
    {
        return a.productId != b.productId ? a.productId < b.productId : a.vendorId < b.vendorId;
    }
    friend bool operator==(const UsbId &a, const UsbId &b)
    {
        return a.productId == b.productId && a.vendorId == b.vendorId;
    }
};

/// Bus-reported descriptions of the present USB devices, keyed by their ids;
/// the first device with a given id pair wins. With filterByPrefix set, only
/// devices whose description starts with prefix (case-sensitive) are listed.
QMap<UsbId, QString> usbDeviceDescriptions(const GUID *classGuid, const wchar_t *enumerator,
                                           const wchar_t *prefix, bool filterByPrefix);
