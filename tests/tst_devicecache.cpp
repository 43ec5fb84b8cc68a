// The cached device source over a counting fake and a temporary directory
// standing in for /dev.
#include "device/cacheddevicesource.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

class CountingSource : public DeviceSource
{
public:
    QList<SerialPortRecord> ports;
    QList<UsbDeviceRecord> usb;
    mutable int portCalls = 0;
    mutable int usbCalls = 0;

    QList<SerialPortRecord> serialPorts() const override
    {
        ++portCalls;
        return ports;
    }
    QList<UsbDeviceRecord> usbDevices() const override
    {
        ++usbCalls;
        return usb;
    }
};

QStringList texts(const QList<SerialPortRecord> &ports)
{
    QStringList out;
    for (const SerialPortRecord &p : ports)
        out << QStringLiteral("%1 %2:%3 %4/%5/%6 %7")
                   .arg(p.portName)
                   .arg(p.vendorId, 4, 16)
                   .arg(p.productId, 4, 16)
                   .arg(p.description, p.manufacturer, p.serialNumber, p.systemLocation);
    return out;
}

QStringList texts(const QList<UsbDeviceRecord> &devices)
{
    QStringList out;
    for (const UsbDeviceRecord &d : devices)
        out << d.instanceId + QLatin1Char(' ') + d.description;
    return out;
}

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

/// True when a call was answered without asking the inner source.
bool cached(const CachedDeviceSource &cache, const CountingSource &inner)
{
    const int before = inner.portCalls;
    cache.serialPorts();
    return inner.portCalls == before;
}

/// Calls once and tells how often the inner source was asked so far; for
/// QTRY_VERIFY(asked(...) > before), which evaluates its condition again.
int asked(const CachedDeviceSource &cache, const CountingSource &inner)
{
    cache.serialPorts();
    return inner.portCalls;
}

// Used in main() before the application object exists.
CountingSource *earlyInner = nullptr;
CachedDeviceSource *earlyCache = nullptr;

} // namespace

class tst_DeviceCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void unchanged_answersFromFirstListing();
    void nodeChange_nextCallListsAfresh_data();
    void nodeChange_nextCallListsAfresh();
    void settlePeriod_everyCallLists_thenCachedAgain();
    void directoryCreatedLater_watchedOnceItExists();
    void nothingWatchable_everyCallLists();

private:
    std::unique_ptr<QTemporaryDir> dir;
    CountingSource inner;
};

void tst_DeviceCache::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    inner = CountingSource();
    inner.ports = {{QStringLiteral("ttyACM0"), 0x3A1D, 0x5203, QStringLiteral("ZT-3"),
                    QStringLiteral("Veltrano"), QStringLiteral("A1"),
                    QStringLiteral("/dev/ttyACM0")},
                   {QStringLiteral("ttyS0"), 0, 0, {}, {}, {}, QStringLiteral("/dev/ttyS0")}};
    inner.usb = {{QStringLiteral("USB\\VID_3A1D&PID_5203\\1-1"),
                  QStringLiteral("Veltrano ZT-3 MIDI")}};
}

void tst_DeviceCache::unchanged_answersFromFirstListing()
{
    CachedDeviceSource cache(&inner, {dir->path()}, 0);
    const QStringList ports = texts(inner.ports);
    const QStringList usb = texts(inner.usb);
    inner.portCalls = inner.usbCalls = 0;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(texts(cache.serialPorts()), ports);
        QCOMPARE(texts(cache.usbDevices()), usb);
    }
    QCOMPARE(inner.portCalls, 1);
    QCOMPARE(inner.usbCalls, 1);

    // Without a change in the watched directory the old lists stand.
    inner.ports.removeFirst();
    inner.usb.clear();
    QCoreApplication::processEvents();
    QCOMPARE(texts(cache.serialPorts()), ports);
    QCOMPARE(texts(cache.usbDevices()), usb);
    QCOMPARE(inner.portCalls, 1);
}

void tst_DeviceCache::nodeChange_nextCallListsAfresh_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("node created") << "create";
    QTest::newRow("node removed") << "remove";
    QTest::newRow("node renamed") << "rename";
    QTest::newRow("node attributes") << "chmod";
}

void tst_DeviceCache::nodeChange_nextCallListsAfresh()
{
    QFETCH(QString, change);
    const QString node = dir->filePath(QStringLiteral("ttyACM0"));
    QVERIFY(touch(node));
    CachedDeviceSource cache(&inner, {dir->path()}, 0);
    cache.serialPorts();
    cache.usbDevices();
    QVERIFY(cached(cache, inner));
    const int before = inner.portCalls;

    if (change == "create")
        QVERIFY(touch(dir->filePath(QStringLiteral("ttyUSB0"))));
    else if (change == "remove")
        QVERIFY(QFile::remove(node));
    else if (change == "rename")
        QVERIFY(QFile::rename(node, dir->filePath(QStringLiteral("ttyACM1"))));
    else
        QVERIFY(QFile::setPermissions(node, QFile::ReadOwner | QFile::WriteOwner
                                                | QFile::ReadGroup | QFile::WriteGroup));
    inner.ports.removeFirst();
    inner.usb.clear();

    QTRY_VERIFY(asked(cache, inner) > before);
    QCOMPARE(texts(cache.serialPorts()), texts(inner.ports));
    QCOMPARE(cache.usbDevices().size(), 0);
    // No settle time: the fresh listing is trusted at once.
    const int usbCalls = inner.usbCalls;
    QVERIFY(cached(cache, inner));
    cache.usbDevices();
    QCOMPARE(inner.usbCalls, usbCalls);
}

void tst_DeviceCache::settlePeriod_everyCallLists_thenCachedAgain()
{
    const int settleMs = 1000;
    CachedDeviceSource cache(&inner, {dir->path()}, settleMs);
    cache.serialPorts();
    QVERIFY(cached(cache, inner));

    const int before = inner.portCalls;
    QElapsedTimer sinceChange;
    sinceChange.start();
    QVERIFY(touch(dir->filePath(QStringLiteral("ttyACM0"))));
    QTRY_VERIFY(asked(cache, inner) > before);
    // The settle time runs from the notice, which came after the change.
    int freshCalls = 0;
    while (sinceChange.elapsed() < settleMs - 100) {
        QVERIFY(!cached(cache, inner));
        ++freshCalls;
        QCoreApplication::processEvents();
    }
    QVERIFY2(freshCalls > 0, "the change was noticed only after the settle time");

    QTRY_VERIFY(cached(cache, inner));
    QVERIFY(sinceChange.elapsed() >= settleMs - 5); // two clocks, whole milliseconds
    QVERIFY(cached(cache, inner));
}

void tst_DeviceCache::directoryCreatedLater_watchedOnceItExists()
{
    const QString serial = dir->filePath(QStringLiteral("serial"));
    const QString byId = serial + QStringLiteral("/by-id");
    CachedDeviceSource cache(&inner, {byId}, 0);
    cache.serialPorts();
    QVERIFY(cached(cache, inner));

    // Each step is seen, and afterwards the cache is trusted again.
    const QList<QPair<const char *, std::function<bool()>>> steps = {
        {"parent created", [&] { return QDir().mkdir(serial); }},
        {"directory created", [&] { return QDir().mkdir(byId); }},
        {"entry created in it", [&] { return touch(byId + QStringLiteral("/usb-ZT-3-if00")); }},
        {"directory removed", [&] { return QDir(serial).removeRecursively(); }},
        {"directory made again", [&] { return QDir().mkpath(byId); }},
        {"entry created in the new one", [&] { return touch(byId + QStringLiteral("/usb-QRX")); }},
    };
    for (const auto &step : steps) {
        const int before = inner.portCalls;
        QVERIFY2(step.second(), step.first);
        QTRY_VERIFY2(asked(cache, inner) > before, step.first);
        QVERIFY2(cached(cache, inner), step.first);
    }
}

void tst_DeviceCache::nothingWatchable_everyCallLists()
{
    // Before the application object existed (see main); once it exists the
    // same source caches.
    QCOMPARE(earlyInner->portCalls, 3);
    QCOMPARE(earlyInner->usbCalls, 3);
    earlyCache->serialPorts();
    QVERIFY(cached(*earlyCache, *earlyInner));

    CachedDeviceSource noDirs(&inner, {}, 0);
    inner.portCalls = 0;
    for (int i = 0; i < 3; ++i)
        noDirs.serialPorts();
    QCOMPARE(inner.portCalls, 3);

    CachedDeviceSource watched(&inner, {dir->path()}, 0);
    watched.serialPorts();
    QVERIFY(cached(watched, inner));
    inner.portCalls = inner.usbCalls = 0;
    std::unique_ptr<QThread> other(QThread::create([&] {
        for (int i = 0; i < 3; ++i) {
            watched.serialPorts();
            watched.usbDevices();
        }
    }));
    other->start();
    QVERIFY(other->wait(5000));
    QCOMPARE(inner.portCalls, 3);
    QCOMPARE(inner.usbCalls, 3);
}

int main(int argc, char *argv[])
{
    QTemporaryDir early;
    CountingSource earlySource;
    CachedDeviceSource earlyCached(&earlySource, {early.path()}, 0);
    for (int i = 0; i < 3; ++i) {
        earlyCached.serialPorts();
        earlyCached.usbDevices();
    }
    earlyInner = &earlySource;
    earlyCache = &earlyCached;

    QCoreApplication app(argc, argv);
    tst_DeviceCache test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_devicecache.moc"
