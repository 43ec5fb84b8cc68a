#pragma once

#include "monitor/framecapture.h"

#include <QByteArray>
#include <QString>
#include <QVector>

/// One row of a monitor export: a frame and the four texts the tables show
/// for it (columns STATUS, DATA1, DATA2, CHAN).
struct ExportRow
{
    CapturedFrame frame;
    QString status;
    QString data1;
    QString data2;
    QString channel;
};

/// The monitor's exports: the rows of the tables, or every frame since
/// Connect, as CSV or as a Standard MIDI File.
namespace MonitorExport {

enum class Format { Csv, MidiFile };

/// CSV (RFC 4180, CRLF line ends) with the header line
/// "time,status,data1,data2,channel,raw bytes" and one line per row: time
/// is the arrival in seconds since startUs with three decimals, the next
/// four are the table's texts, raw bytes the frame in upper-case hex pairs.
QByteArray csv(const QVector<ExportRow> &rows, qint64 startUs);

/// Timing of the MIDI file: 1000 ticks per quarter note at 500,000 µs per
/// quarter note (120 beats per minute, the file format's default tempo), so
/// a tick is 500 µs, finer than the 1.4 ms a frame takes on the 115200-baud
/// line. The first event is at tick 0.
constexpr int ticksPerQuarter = 1000;
constexpr int microsecondsPerQuarter = 500000;
constexpr int microsecondsPerTick = microsecondsPerQuarter / ticksPerQuarter;

/// One event of the MIDI file's track.
struct SmfEvent
{
    /// Ticks since the first event, and since the one before.
    qint64 tick = 0;
    qint64 delta = 0;
    /// The MIDI message's bytes (MidiMessage::fromEventFrame); empty for a marker.
    QByteArray message;
    /// Clock, Start, Continue and Stop have no place in a file's track: they
    /// become marker meta events with the table's name of the event.
    QByteArray marker;

    bool operator==(const SmfEvent &o) const
    {
        return tick == o.tick && delta == o.delta && message == o.message && marker == o.marker;
    }
};

struct SmfTrack
{
    QVector<SmfEvent> events;
    /// Rows without a MIDI message (no frame, short frames, statuses a
    /// pedal never sends): left out.
    int skipped = 0;
};

/// The track of rows in their order; ticks are rounded to the nearest from
/// the arrival times, never back in time.
SmfTrack smfTrack(const QVector<ExportRow> &rows);

/// The Standard MIDI File, format 0 with one track: the tempo, the events,
/// the end of the track. Written by drumstick's file library.
QByteArray midiFile(const SmfTrack &track);

/// name with ".csv", or for a MIDI file ".mid", appended when its file name
/// has no suffix of its own.
QString withSuffix(const QString &name, Format format);

} // namespace MonitorExport
