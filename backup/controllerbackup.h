#pragma once

#include "pedal/pedalmessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

/// Every message definition a controller holds, as read at one time, and its
/// file: JSON a person can read and diff. Each slot carries the 17 bytes the
/// controller sent, in hexadecimal, and beside them the decoded fields under
/// the editor's names; the bytes are what a restore writes, the fields must
/// agree with them.
struct ControllerBackup {
    /// The file layout this program writes and reads.
    static constexpr int FormatVersion = 1;
    /// Larger files are refused unread: a full backup of the largest
    /// controller (8 pedals x 16 slots) is under 150 KiB.
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    /// The pedal counts a controller can report (the window takes counts below 10).
    static constexpr int MaxPedals = 9;
    static constexpr int SlotCount = 16;

    /// One message slot. Pedal and slot count from 0, as in the definition's
    /// bytes; the file shows them from 1, as the editor's lists do.
    struct Entry {
        int pedal = 0;
        int slot = 0;
        bool empty = false;   ///< the controller reported no definition here
        PedalMessage message; ///< unused when empty

        friend bool operator==(const Entry &a, const Entry &b)
        {
            return a.pedal == b.pedal && a.slot == b.slot && a.empty == b.empty
                   && (a.empty || a.message == b.message);
        }
    };

    QString model;           ///< the controller's own model reply, e.g. "ZT-3"
    QString firmwareVersion; ///< e.g. "1.2.0"
    QDateTime created;       ///< kept to the second, in UTC
    int pedalCount = 0;      ///< as the controller's handshake reported it
    /// The controller stopped answering before every slot was read.
    bool partial = false;
    QList<Entry> entries;

    friend bool operator==(const ControllerBackup &a, const ControllerBackup &b)
    {
        return a.model == b.model && a.firmwareVersion == b.firmwareVersion
               && a.created == b.created && a.pedalCount == b.pedalCount
               && a.partial == b.partial && a.entries == b.entries;
    }

    /// The entry of a pedal and slot, or nullptr.
    const Entry *find(int pedal, int slot) const;
    /// The entries that hold a definition.
    int definitionCount() const;

    QByteArray toJson() const;

    struct Reading;
    /// Reads and checks a file's contents: size, format version, model, every
    /// slot's place (no slot twice), 17 bytes of hexadecimal, every field in
    /// range for its pedal type and event, and the decoded fields equal to
    /// what the bytes say.
    static Reading fromJson(const QByteArray &json);

    /// Reads a file, refusing it unread when it is larger than MaxFileSize.
    static Reading load(const QString &path);
    /// Writes the file atomically; false with the reason in *error when any
    /// step fails (the old file, if any, is then left as it was).
    bool save(const QString &path, QString *error) const;

    /// What is wrong with a definition, for the user ("the channel 17 is out
    /// of range"); empty when every field is in range for its pedal type and
    /// event. The ranges are those of the editor's selectors.
    static QString definitionProblem(const PedalMessage &m);
    /// The fields of a definition under their editor names and texts.
    static QJsonObject describe(const PedalMessage &m);
    /// "00 00 01 ..." of a definition's 17 bytes.
    static QString hexBytes(const PedalMessage &m);
    /// "pedal 2, message 5" of a slot counted from 0.
    static QString placeName(int pedal, int slot);
};

/// A file read: the backup, or the first thing wrong with it.
struct ControllerBackup::Reading {
    bool ok = false;
    /// What is wrong, in words for the user; empty when ok.
    QString problem;
    ControllerBackup backup;
};
