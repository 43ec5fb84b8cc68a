#pragma once

#include "device/serialport.h"

#include <QElapsedTimer>
#include <QList>

/// The device link, recording the size and time of every write, and able to
/// accept only part of one write as a driver with a full buffer would.
class RecordingLink : public SerialPort
{
public:
    explicit RecordingLink(QComboBox *combo) : SerialPort(combo, QStringLiteral("Veltrano"), nullptr)
    {
        clock.start();
    }

    struct Write {
        qint64 size;
        qint64 ms;
    };
    QList<Write> writes;
    QElapsedTimer clock;

    /// The nth write from now (1 = the next) passes on and reports only `accept` bytes.
    void shortenWrite(int nth, qint64 accept)
    {
        shortenAt = writes.size() + nth;
        shortAccept = accept;
    }
    /// Writes of exactly this size since the index given.
    int writesOfSize(qint64 size, int from = 0) const
    {
        int n = 0;
        for (int i = from; i < writes.size(); ++i)
            n += writes.at(i).size == size;
        return n;
    }

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        writes.append({size, clock.elapsed()});
        if (writes.size() == shortenAt)
            size = qMin(size, shortAccept);
        return SerialPort::writeData(data, size);
    }

private:
    int shortenAt = -1;
    qint64 shortAccept = 0;
};
