#include "device/cacheddevicesource.h"

#ifdef Q_OS_WIN
#include "device/devicechangewatch_win.h"
#else
#include "device/directorywatch.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

struct CachedDeviceSource::State
{
    template <typename Record>
    struct Listing
    {
        QList<Record> records;
        bool listed = false;
        quint64 generation = 0;
        qint64 listedAt = 0; // ms on clock
    };

    const DeviceSource *inner = nullptr;
    QStringList dirs;
    int settleMs = 0;
    QElapsedTimer clock;
    std::unique_ptr<DeviceWatch> watch;
    bool wasWatching = false;
    /// Counts changes; a listing from an earlier generation is outdated.
    quint64 generation = 0;
    /// Listings taken before this time (ms on clock) are not trusted.
    qint64 settledAt = 0;
    Listing<SerialPortRecord> ports;
    Listing<UsbDeviceRecord> usb;

    void changed()
    {
        ++generation;
        settledAt = clock.elapsed() + settleMs;
    }

    bool watching()
    {
        if (!watch) {
#ifdef Q_OS_WIN
            watch = std::make_unique<DeviceChangeWatch>([this] { changed(); });
#else
            watch = std::make_unique<DirectoryWatch>(dirs, [this] { changed(); });
#endif
        }
        const bool now = watch->watching();
        if (now != wasWatching) {
            // Whatever happened while unwatched went unseen.
            wasWatching = now;
            ++generation;
        }
        return now;
    }

    template <typename Record>
    QList<Record> answer(Listing<Record> &listing, QList<Record> (DeviceSource::*list)() const)
    {
        const QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread() || !watching())
            return (inner->*list)();
        if (listing.listed && listing.generation == generation && listing.listedAt >= settledAt)
            return listing.records;
        listing.generation = generation;
        listing.listedAt = clock.elapsed();
        listing.records = (inner->*list)();
        listing.listed = true;
        return listing.records;
    }
};

CachedDeviceSource::CachedDeviceSource(const DeviceSource *inner, const QStringList &watchedDirs,
                                       int settleMs)
    : d(new State)
{
    d->inner = inner;
    d->dirs = watchedDirs;
    d->settleMs = settleMs;
    d->clock.start();
}

CachedDeviceSource::~CachedDeviceSource() = default;

QList<SerialPortRecord> CachedDeviceSource::serialPorts() const
{
    return d->answer(d->ports, &DeviceSource::serialPorts);
}

QList<UsbDeviceRecord> CachedDeviceSource::usbDevices() const
{
    return d->answer(d->usb, &DeviceSource::usbDevices);
}

QStringList CachedDeviceSource::systemDeviceDirectories()
{
    // ttyUSB and ttyACM nodes appear in /dev, udev's links to them under
    // /dev/serial; USB devices without a serial node only under /dev/bus/usb.
    QStringList dirs{QStringLiteral("/dev"), QStringLiteral("/dev/serial/by-id"),
                     QStringLiteral("/dev/serial/by-path"), QStringLiteral("/sys/class/tty"),
                     QStringLiteral("/dev/bus/usb")};
    const QDir buses(QStringLiteral("/dev/bus/usb"));
    for (const QString &bus : buses.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        dirs.append(buses.filePath(bus));
    return dirs;
}
