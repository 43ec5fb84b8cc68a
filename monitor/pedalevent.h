#pragma once

#include <QByteArray>

/// One live event as the controller reports it: a four-byte USB-MIDI event
/// packet whose header carries the number of the pedal setting that produced
/// it. Missing bytes of a shorter frame read as 0.
struct PedalEvent
{
    /// Message slot 0..15 of the pedal setting: the high nibble of byte 0.
    int messageNumber = 0;
    /// MIDI status byte 0..255 (byte 1).
    int status = 0;
    /// 1..16, from the status' low nibble.
    int channel = 1;
    /// status & 0xF0: 0x80 note off ... 0xE0 pitch bend; 0xF0 for system statuses.
    int kind = 0;
    int data1 = 0;
    int data2 = 0;

    static PedalEvent decode(const QByteArray &frame);

    /// F8 clock, FA start, FB continue, FC stop.
    bool isRealTime() const
    {
        return status == 0xF8 || status == 0xFA || status == 0xFB || status == 0xFC;
    }
};
