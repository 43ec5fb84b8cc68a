#include "monitor/monitorexport.h"

#include "midiout/midimessage.h"

#include <QBuffer>
#include <QDataStream>
#include <QFileInfo>

#include <drumstick/qsmf.h>

namespace MonitorExport {

namespace {

/// Microseconds as seconds with three decimals, rounded to the nearest ms.
QByteArray seconds(qint64 us)
{
    const bool negative = us < 0;
    const qint64 ms = ((negative ? -us : us) + 500) / 1000;
    QByteArray text = negative && ms > 0 ? "-" : "";
    text += QByteArray::number(ms / 1000) + '.'
            + QByteArray::number(ms % 1000).rightJustified(3, '0');
    return text;
}

QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

} // namespace

QByteArray csv(const QVector<ExportRow> &rows, qint64 startUs)
{
    QByteArray out = "time,status,data1,data2,channel,raw bytes\r\n";
    out.reserve(out.size() + rows.size() * 48);
    for (const ExportRow &row : rows) {
        out += seconds(row.frame.arrivedUs - startUs);
        for (const QString *text : {&row.status, &row.data1, &row.data2, &row.channel})
            out += ',' + field(*text);
        out += ',' + row.frame.frame().toHex(' ').toUpper() + "\r\n";
    }
    return out;
}

SmfTrack smfTrack(const QVector<ExportRow> &rows)
{
    SmfTrack track;
    bool first = true;
    qint64 firstUs = 0;
    qint64 lastTick = 0;
    for (const ExportRow &row : rows) {
        const QByteArray message = MidiMessage::fromEventFrame(row.frame.frame());
        if (message.isEmpty()) {
            ++track.skipped;
            continue;
        }
        if (first) {
            firstUs = row.frame.arrivedUs;
            first = false;
        }
        const qint64 sinceFirst = qMax<qint64>(0, row.frame.arrivedUs - firstUs);
        const qint64 tick = qMax(lastTick, (sinceFirst + microsecondsPerTick / 2) / microsecondsPerTick);
        SmfEvent event;
        event.tick = tick;
        event.delta = tick - lastTick;
        if (message.size() == 1)
            event.marker = row.status.toUtf8();
        else
            event.message = message;
        track.events.append(event);
        lastTick = tick;
    }
    return track;
}

QByteArray midiFile(const SmfTrack &track)
{
    using namespace drumstick::File;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    QSmf smf;
    smf.setFileFormat(0);
    smf.setTracks(1);
    smf.setDivision(ticksPerQuarter);
    QObject::connect(&smf, &QSmf::signalSMFWriteTrack, &smf, [&smf, &track](int) {
        smf.writeTempo(0, microsecondsPerQuarter);
        for (const SmfEvent &event : track.events) {
            const long delta = long(event.delta);
            if (event.message.isEmpty()) {
                smf.writeMetaEvent(delta, marker, event.marker);
                continue;
            }
            const int status = quint8(event.message.at(0));
            const int type = status & midi_command_mask;
            const int channel = status & midi_channel_mask;
            if (event.message.size() == 3)
                smf.writeMidiEvent(delta, type, channel, quint8(event.message.at(1)),
                                   quint8(event.message.at(2)));
            else
                smf.writeMidiEvent(delta, type, channel, quint8(event.message.at(1)));
        }
        smf.writeMetaEvent(0, end_of_track);
    });
    smf.writeToStream(&stream);
    return bytes;
}

QString withSuffix(const QString &name, Format format)
{
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    return name + (format == Format::Csv ? QStringLiteral(".csv") : QStringLiteral(".mid"));
}


} // namespace MonitorExport
