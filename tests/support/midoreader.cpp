#include "support/midoreader.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

/// Prints the header, then per message of track 0 its tick, its time in
/// seconds (mido's playback iteration, which applies the tempo) and its
/// bytes or meta event.
const char kScript[] = R"(
import sys, mido
f = mido.MidiFile(sys.argv[1])
print('file', f.type, f.ticks_per_beat, len(f.tracks))
tick = 0
seconds = 0.0
timed = iter(f)
for m in f.tracks[0]:
    tick += m.time
    seconds += next(timed).time
    if m.is_meta:
        value = m.text if m.type == 'marker' else (m.tempo if m.type == 'set_tempo' else '')
        print('meta', tick, '%.6f' % seconds, m.type, value)
    else:
        print('msg', tick, '%.6f' % seconds, m.hex().replace(' ', ''))
)";

} // namespace

QString MidoReader::python()
{
    if (QFileInfo(QStringLiteral("/usr/bin/python3")).isExecutable())
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

bool MidoReader::read(const QString &path, File *file, QString *error)
{
    QProcess process;
    process.start(python(), {QStringLiteral("-c"), QString::fromLatin1(kScript), path});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
        return false;
    }
    *file = File();
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.split(' ');
        if (f.first() == "file" && f.size() == 4) {
            file->type = f.at(1).toInt();
            file->ticksPerBeat = f.at(2).toInt();
            file->tracks = f.at(3).toInt();
        } else if ((f.first() == "msg" || f.first() == "meta") && f.size() >= 4) {
            Message m;
            m.tick = f.at(1).toLongLong();
            m.seconds = f.at(2).toDouble();
            if (f.first() == "msg") {
                m.bytes = QByteArray::fromHex(f.at(3));
            } else {
                m.meta = QString::fromUtf8(f.at(3));
                m.text = QString::fromUtf8(line.mid(line.indexOf(f.at(3)) + f.at(3).size() + 1));
            }
            file->messages.append(m);
        }
    }
    if (file->type < 0) {
        *error = QStringLiteral("no header in mido's output");
        return false;
    }
    return true;
}
