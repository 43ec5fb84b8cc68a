#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

/// Reads a Standard MIDI File with Python's mido (Debian's python3-mido), a
/// reader independent of the one that wrote it.
class MidoReader
{
public:
    /// One message of the file's first track.
    struct Message
    {
        qint64 tick = 0;      ///< since the start of the track
        double seconds = 0;   ///< since the start, by mido's own tempo handling
        QByteArray bytes;     ///< MIDI bytes; empty for a meta event
        QString meta;         ///< meta event type ("set_tempo", "marker", ...)
        QString text;         ///< a marker's text, a tempo's microseconds per quarter
    };
    struct File
    {
        int type = -1;
        int ticksPerBeat = 0;
        int tracks = 0;
        QList<Message> messages;
    };

    /// The Python 3 interpreter to run: the system's, which Debian's
    /// python3-mido belongs to, else the first on the PATH; empty if none.
    static QString python();
    /// Reads path; false with mido's or Python's complaint in error.
    static bool read(const QString &path, File *file, QString *error);
};
