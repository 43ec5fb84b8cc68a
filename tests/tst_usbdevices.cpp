// The USB description lookup, the device source seam and the sysfs walk.
#include "device/devicesource.h"
#include "device/sysfsusbdevices.h"
#include "device/usbdevicedescriptions.h"
#include "support/fakedevicesource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(UsbId)

namespace {

QMap<UsbId, QString> lookup(const wchar_t *prefix = L"Veltrano", bool filter = false)
{
    return usbDeviceDescriptions(nullptr, L"USB", prefix, filter);
}

UsbId id(int productId, int vendorId)
{
    UsbId u;
    u.productId = productId;
    u.vendorId = vendorId;
    return u;
}

/// A device directory under a fake sysfs root; null texts are files not written.
void addSysfsDevice(const QString &root, const QString &name, const QByteArray &vendor,
                    const QByteArray &product, const QByteArray &productName)
{
    QDir(root).mkpath(name);
    const auto write = [&](const char *file, const QByteArray &text) {
        if (text.isNull())
            return;
        QFile f(root + QLatin1Char('/') + name + QLatin1Char('/') + QLatin1String(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("idVendor", vendor);
    write("idProduct", product);
    write("product", productName);
}

} // namespace

class tst_UsbDevices : public QObject
{
    Q_OBJECT

private slots:
    void currentSource_replacedAndRestored();
    void instanceId_data();
    void instanceId();
    void duplicatePair_firstDeviceWins();
    void prefixFilter_caseSensitiveOverPrefixLength();
    void enumerator_otherBusesLeftOut();
    void sysfsTree_devicesWithIdsAndProduct();
    void sysfsTree_missingRoot_empty();
    void sysfsTree_throughLookup_firstInNameOrderWins();
};

void tst_UsbDevices::currentSource_replacedAndRestored()
{
    DeviceSource *system = DeviceSource::current();
    QVERIFY(system);
    FakeDeviceSource fake;
    fake.usb = {{QStringLiteral("USB\\VID_3A1D&PID_5203\\A"), QStringLiteral("Veltrano ZT-3 MIDI")}};
    {
        ScopedDeviceSource scope(&fake);
        QCOMPARE(DeviceSource::current(), &fake);
        QCOMPARE(lookup().value(id(0x5203, 0x3A1D)), QStringLiteral("Veltrano ZT-3 MIDI"));
    }
    QCOMPARE(DeviceSource::current(), system);
}

void tst_UsbDevices::instanceId_data()
{
    QTest::addColumn<QString>("instanceId");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");

    QTest::newRow("plain") << "USB\\VID_1A86&PID_7523\\5&2A1B" << 0x1A86 << 0x7523;
    QTest::newRow("lower-case hex") << "USB\\VID_1a86&PID_75ab\\x" << 0x1A86 << 0x75AB;
    QTest::newRow("hash separators") << "USB#VID_0403#PID_6001#A1" << 0x0403 << 0x6001;
    QTest::newRow("missing product tag") << "USB\\VID_0403\\A1" << 0x0403 << 0;
    QTest::newRow("no tags") << "ACPI\\PNP0501\\1" << 0 << 0;
    QTest::newRow("last repeated tag wins") << "USB\\VID_1111&PID_2222&VID_3333\\x" << 0x3333
                                            << 0x2222;
    QTest::newRow("no digits") << "USB\\VID_&PID_zz\\x" << 0 << 0;
    QTest::newRow("stops at first non-hex") << "USB\\VID_12G4&PID_7q\\x" << 0x12 << 0x7;
    QTest::newRow("tag is case-sensitive") << "USB\\vid_1234&pid_5678\\x" << 0 << 0;
    QTest::newRow("tag only at token start") << "USB\\XVID_1234&PID_5\\x" << 0 << 0x5;
    QTest::newRow("0x prefix accepted") << "USB\\VID_0x1F&PID_0X2\\x" << 0x1F << 0x2;
    QTest::newRow("leading blank and sign") << "USB\\VID_ 10&PID_-1\\x" << 0x10 << -1;
    QTest::newRow("too large saturates") << "USB\\VID_FFFFFFFFFF&PID_80000000\\x" << 0x7FFFFFFF
                                         << 0x7FFFFFFF;
}

void tst_UsbDevices::instanceId()
{
    QFETCH(QString, instanceId);
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    FakeDeviceSource fake;
    fake.usb = {{instanceId, QStringLiteral("Veltrano X")}};
    ScopedDeviceSource scope(&fake);
    // No enumerator: ids of any bus are read.
    const QMap<UsbId, QString> map = usbDeviceDescriptions(nullptr, nullptr, L"Veltrano", true);
    QCOMPARE(map.size(), 1);
    QCOMPARE(map.firstKey().vendorId, vendorId);
    QCOMPARE(map.firstKey().productId, productId);
}

void tst_UsbDevices::duplicatePair_firstDeviceWins()
{
    FakeDeviceSource fake;
    fake.usb = {
        {QStringLiteral("USB\\VID_3A1D&PID_5203\\A"), QStringLiteral("Veltrano ZT-3 MIDI")},
        {QStringLiteral("USB\\VID_3A1D&PID_5203\\B"), QStringLiteral("Veltrano ZT-3 other")},
        {QStringLiteral("USB\\VID_5203&PID_3A1D\\C"), QStringLiteral("Veltrano swapped")},
    };
    ScopedDeviceSource scope(&fake);
    const QMap<UsbId, QString> map = lookup();
    QCOMPARE(map.size(), 2);
    QCOMPARE(map.value(id(0x5203, 0x3A1D)), QStringLiteral("Veltrano ZT-3 MIDI"));
    QCOMPARE(map.value(id(0x3A1D, 0x5203)), QStringLiteral("Veltrano swapped"));
    // Ordered by product id first.
    QCOMPARE(map.firstKey().productId, 0x3A1D);
}

void tst_UsbDevices::prefixFilter_caseSensitiveOverPrefixLength()
{
    FakeDeviceSource fake;
    fake.usb = {
        {QStringLiteral("USB\\VID_0001&PID_0001\\1"), QStringLiteral("Veltrano QRX-20 MIDI")},
        {QStringLiteral("USB\\VID_0001&PID_0002\\1"), QStringLiteral("veltrano lower case")},
        {QStringLiteral("USB\\VID_0001&PID_0003\\1"), QStringLiteral("Veltran")},
        {QStringLiteral("USB\\VID_0001&PID_0004\\1"), QStringLiteral("VeltranoX")},
        {QStringLiteral("USB\\VID_0001&PID_0005\\1"), QStringLiteral("USB Serial")},
        {QStringLiteral("USB\\VID_0001&PID_0006\\1"), QStringLiteral("Veltrano QRX-20 MIDI")},
    };
    ScopedDeviceSource scope(&fake);

    const QMap<UsbId, QString> filtered = lookup(L"Veltrano", true);
    QCOMPARE(filtered.keys(), (QList<UsbId>{id(1, 1), id(4, 1), id(6, 1)}));
    QCOMPARE(filtered.value(id(4, 1)), QStringLiteral("VeltranoX"));

    QCOMPARE(lookup(L"Veltrano", false).size(), 6);
    QCOMPARE(lookup(L"", true).size(), 6);
}

void tst_UsbDevices::enumerator_otherBusesLeftOut()
{
    FakeDeviceSource fake;
    fake.usb = {
        {QStringLiteral("HID\\VID_0001&PID_0001\\1"), QStringLiteral("Veltrano HID")},
        {QStringLiteral("usb\\VID_0001&PID_0002\\1"), QStringLiteral("Veltrano USB")},
    };
    ScopedDeviceSource scope(&fake);
    const QMap<UsbId, QString> map = lookup();
    QCOMPARE(map.keys(), QList<UsbId>{id(2, 1)});
    QCOMPARE(usbDeviceDescriptions(nullptr, nullptr, L"Veltrano", true).size(), 2);
}

void tst_UsbDevices::sysfsTree_devicesWithIdsAndProduct()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString r = root.path();
    addSysfsDevice(r, "usb1", "1d6b\n", "0002\n", "xHCI Host Controller\n");
    addSysfsDevice(r, "1-1", "3a1d\n", "5203\n", "Veltrano ZT-3 MIDI\n");
    addSysfsDevice(r, "1-1:1.0", QByteArray(), QByteArray(), QByteArray()); // an interface
    addSysfsDevice(r, "1-2", "046d\n", "c52b\n", QByteArray());             // no product
    addSysfsDevice(r, "1-3", "zz\n", "0001\n", "Bad id\n");
    addSysfsDevice(r, "1-4", "0001\n", "0002\n", "");                       // empty product

    const QList<UsbDeviceRecord> devices = sysfsUsbDevices(r);
    QCOMPARE(devices.size(), 2);
    QCOMPARE(devices.at(0).instanceId, QStringLiteral("USB\\VID_3A1D&PID_5203\\1-1"));
    QCOMPARE(devices.at(0).description, QStringLiteral("Veltrano ZT-3 MIDI"));
    QCOMPARE(devices.at(1).instanceId, QStringLiteral("USB\\VID_1D6B&PID_0002\\usb1"));
    QCOMPARE(devices.at(1).description, QStringLiteral("xHCI Host Controller"));
}

void tst_UsbDevices::sysfsTree_missingRoot_empty()
{
    QTemporaryDir root;
    QVERIFY(sysfsUsbDevices(root.path() + QStringLiteral("/absent")).isEmpty());
}

void tst_UsbDevices::sysfsTree_throughLookup_firstInNameOrderWins()
{
    QTemporaryDir root;
    const QString r = root.path();
    addSysfsDevice(r, "2-1", "3a1d\n", "5120\n", "Veltrano QRX-20 second\n");
    addSysfsDevice(r, "1-5", "3a1d\n", "5120\n", "Veltrano QRX-20 MIDI\n");
    addSysfsDevice(r, "1-6", "3a1d\n", "5203\n", QByteArray());

    FakeDeviceSource fake;
    fake.usb = sysfsUsbDevices(r);
    ScopedDeviceSource scope(&fake);
    const QMap<UsbId, QString> map = lookup(L"Veltrano", true);
    QCOMPARE(map.size(), 1);
    QCOMPARE(map.value(id(0x5120, 0x3A1D)), QStringLiteral("Veltrano QRX-20 MIDI"));
}

QTEST_GUILESS_MAIN(tst_UsbDevices)
#include "tst_usbdevices.moc"
