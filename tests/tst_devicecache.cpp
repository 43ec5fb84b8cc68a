// The cached device source over a counting fake and a temporary directory
// standing in for /dev.
#include "device/cacheddevicesource.h"

#include <QElapsedTimer>
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

    QList<SerialPortRecord> serialPorts() const override { return ++portCalls, ports; }
    QList<UsbDeviceRecord> usbDevices() const override { return ++usbCalls, usb; }
};

QStringList texts(const QList<SerialPortRecord> &ports)
{
    QStringList out;
    for (const SerialPortRecord &p : ports)
        out << QStringList{p.portName, QString::number(p.vendorId), QString::number(p.productId),
                           p.description, p.manufacturer, p.serialNumber, p.systemLocation}
                   .join(QLatin1Char('|'));
    return out;
}

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

/// One call; how often the inner source was asked so far. For
/// QTRY_VERIFY(asked(...) > before), which evaluates its condition again.
int asked(const CachedDeviceSource &cache, const CountingSource &inner)
{
    cache.serialPorts();
    return inner.portCalls;
}

/// True when a call was answered without asking the inner source.
bool cached(const CachedDeviceSource &cache, const CountingSource &inner)
{
    const int before = inner.portCalls;
    return asked(cache, inner) == before;
}

// Made and asked in main() before the application object exists.
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
    inner = CountingSource();
    inner.ports = {{"ttyACM0", 0x3A1D, 0x5203, "ZT-3", "Veltrano", "A1", "/dev/ttyACM0"},
                   {"ttyS0", 0, 0, {}, {}, {}, "/dev/ttyS0"}};
    inner.usb = {{"USB\\VID_3A1D&PID_5203\\1-1", "Veltrano ZT-3 MIDI"}};
}

void tst_DeviceCache::unchanged_answersFromFirstListing()
{
    CachedDeviceSource cache(&inner, {dir->path()}, 0);
    const QStringList ports = texts(inner.ports);
    const QString usb = inner.usb.first().instanceId;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(texts(cache.serialPorts()), ports);
        QCOMPARE(cache.usbDevices().value(0).instanceId, usb);
        inner.ports.clear(); // unseen: no change in the watched directory
        inner.usb.clear();
        QCoreApplication::processEvents();
    }
    QCOMPARE(inner.portCalls, 1);
    QCOMPARE(inner.usbCalls, 1);
}

void tst_DeviceCache::nodeChange_nextCallListsAfresh_data()
{
    QTest::addColumn<QString>("change");
    for (const char *change : {"create", "remove", "rename", "chmod"})
        QTest::newRow(change) << change;
}

void tst_DeviceCache::nodeChange_nextCallListsAfresh()
{
    QFETCH(QString, change);
    const QString node = dir->filePath("ttyACM0");
    QVERIFY(touch(node));
    CachedDeviceSource cache(&inner, {dir->path()}, 0);
    cache.usbDevices();
    QVERIFY(!cached(cache, inner) && cached(cache, inner));
    const int before = inner.portCalls;

    const bool done = change == "create"   ? touch(dir->filePath("ttyUSB0"))
                      : change == "remove" ? QFile::remove(node)
                      : change == "rename" ? QFile::rename(node, dir->filePath("ttyACM1"))
                                           : QFile::setPermissions(node, QFile::ReadOwner);
    QVERIFY(done);
    inner.ports.removeFirst();
    inner.usb.clear();

    QTRY_VERIFY(asked(cache, inner) > before);
    QCOMPARE(texts(cache.serialPorts()), texts(inner.ports));
    QVERIFY(cache.usbDevices().isEmpty());
    // No settle time: the fresh listings are trusted at once.
    QCOMPARE(inner.portCalls, before + 1);
    QCOMPARE(inner.usbCalls, 2);
}

void tst_DeviceCache::settlePeriod_everyCallLists_thenCachedAgain()
{
    const int settleMs = 1000;
    CachedDeviceSource cache(&inner, {dir->path()}, settleMs);
    QVERIFY(!cached(cache, inner) && cached(cache, inner));

    const int before = inner.portCalls;
    QElapsedTimer sinceChange;
    sinceChange.start();
    QVERIFY(touch(dir->filePath("ttyACM0")));
    QTRY_VERIFY(asked(cache, inner) > before);
    QElapsedTimer sinceNotice; // started after the notice came
    sinceNotice.start();
    int freshCalls = 0;
    for (; sinceChange.elapsed() < settleMs - 100; ++freshCalls) {
        QVERIFY(!cached(cache, inner));
        QCoreApplication::processEvents();
    }
    QVERIFY2(freshCalls > 0, "the change was noticed only after the settle time");

    // What was listed within the settle time is not trusted after it.
    QTRY_VERIFY(sinceNotice.elapsed() > settleMs + 20);
    QVERIFY(!cached(cache, inner));
    QVERIFY(cached(cache, inner));
}

void tst_DeviceCache::directoryCreatedLater_watchedOnceItExists()
{
    const QString serial = dir->filePath("serial");
    const QString byId = serial + "/by-id";
    CachedDeviceSource cache(&inner, {byId}, 0);
    QVERIFY(!cached(cache, inner) && cached(cache, inner));

    const QList<QPair<const char *, std::function<bool()>>> steps = {
        {"parent created", [&] { return QDir().mkdir(serial); }},
        {"directory created", [&] { return QDir().mkdir(byId); }},
        {"entry in it", [&] { return touch(byId + "/usb-ZT-3-if00"); }},
        {"directory removed", [&] { return QDir(serial).removeRecursively(); }},
        {"directory made again", [&] { return QDir().mkpath(byId); }},
        {"entry in the new one", [&] { return touch(byId + "/usb-QRX-20-if00"); }},
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
    // Asked three times each before the application existed; now it caches.
    QCOMPARE(earlyInner->portCalls + earlyInner->usbCalls, 6);
    QVERIFY(!cached(*earlyCache, *earlyInner) && cached(*earlyCache, *earlyInner));

    CachedDeviceSource noDirs(&inner, {}, 0);
    QVERIFY(!cached(noDirs, inner) && !cached(noDirs, inner));

    CachedDeviceSource watched(&inner, {dir->path()}, 0);
    QVERIFY(!cached(watched, inner) && cached(watched, inner));
    bool otherThreadCached = true;
    std::unique_ptr<QThread> other(QThread::create([&] {
        otherThreadCached = cached(watched, inner) || cached(watched, inner);
    }));
    other->start();
    QVERIFY(other->wait(5000));
    QVERIFY(!otherThreadCached);
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
