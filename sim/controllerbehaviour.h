#pragma once

#include "pedal/pedalmessage.h"
#include "sim/simulatedmodel.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>

/// One command cut from the bytes a host sent to the controller.
struct ControllerCommand {
    enum Kind {
        Handshake,    ///< F0 00 21 5E 01 01 F7
        Ask,          ///< F0 00 21 5E 04 04 p m [t] F7
        Set,          ///< F0 00 21 5E 10 03, 17 definition bytes, F7
        Delete,       ///< F0 00 21 5E 03 05 p F7
        FactoryReset, ///< delete with p = 58
        Identity,     ///< AA CC 02 00 01 0D 0A
        Version,      ///< AA CC 02 00 03 0D 0A
        EnterUpgrade, ///< AA CC 02 00 09 0D 0A
        Erase,        ///< AA CC 02 00 02 0D 0A, upgrade mode: erase before the image
        Unknown,      ///< a whole F0..F7 or AA CC..0D 0A frame of no known command
        Garbage,      ///< bytes outside any frame
    };
    Kind kind = Garbage;
    QByteArray bytes;
};

/// The controller's protocol side without any I/O: cuts commands out of the
/// received byte stream, keeps the stored message definitions and builds the
/// replies. Definitions are kept per pedal, message slot and pedal type, as a
/// controller whose jacks take any kind of pedal would.
class ControllerBehaviour {
public:
    static constexpr int definitionSize = 17; ///< bytes 6..22 of set command and reply
    static constexpr int slotCount = 16;
    static constexpr quint8 factoryResetPedal = 0x58;

    explicit ControllerBehaviour(const SimulatedModel &model);

    const SimulatedModel &model() const { return m_model; }

    /// Appends received bytes and returns every command now complete; an
    /// unfinished frame waits for the next call (at most 512 bytes of it).
    QList<ControllerCommand> feed(const QByteArray &bytes);
    /// Forgets an unfinished frame (the host closed the port).
    void resetInput() { m_input.clear(); }

    /// The frames the controller sends back for a command, in order; none for
    /// commands it does not answer.
    QList<QByteArray> respond(const ControllerCommand &command);

    int pedalCount() const { return m_pedalCount; }
    void setPedalCount(int count) { m_pedalCount = count; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    void setFirmwareVersion(const QString &version) { m_firmwareVersion = version; }
    /// Status byte for every set reply; -1 (default) judges each set command.
    void setForcedSetStatus(int status) { m_forcedSetStatus = status; }
    /// Value of a six-byte status reply sent right after each handshake
    /// reply; -1 (default) sends none.
    void setStatusAfterHandshake(int value) { m_statusAfterHandshake = value; }

    /// Slots nothing is stored in answer asks with an empty definition (the
    /// pedal and slot, pedal type 0, every other byte 0) instead of the
    /// factory settings, as a controller whose slots start empty does.
    void setUnsetSlotsEmpty(bool empty) { m_unsetSlotsEmpty = empty; }
    bool unsetSlotsEmpty() const { return m_unsetSlotsEmpty; }

    /// The definition an ask for that pedal type returns: the stored one or the default.
    QByteArray definition(int pedal, int slot, int pedalType) const;
    /// The definition a short ask returns: that of the pedal type last set in the slot.
    QByteArray definition(int pedal, int slot) const;
    bool isStored(int pedal, int slot, int pedalType) const;
    /// Keeps a 17-byte definition as an accepted set command would, whatever
    /// it holds (any pedal type or event code): an ask for its pedal and slot
    /// then returns it byte for byte. Shorter definitions are ignored.
    void store(const QByteArray &definition);
    int storedCount() const { return m_definitions.size(); }
    void clearDefinitions();

    static int defaultPedalType(int pedal);
    static QByteArray defaultDefinition(int pedal, int slot, int pedalType);

    static QByteArray handshakeReply(int pedalCount);
    static QByteArray statusReply(quint8 value);
    static QByteArray setReply(quint8 pedal, quint8 status);
    static QByteArray configurationReply(const QByteArray &definition);
    static QByteArray deleteReply(quint8 pedal);
    static QByteArray identityReply(const QString &model);
    static QByteArray versionReply(const QString &version);
    /// Upgrade mode: "ERASE END", sent once the erase is done; every byte
    /// received after it is firmware image.
    static QByteArray eraseConfirmation();

    /// A four-byte USB-MIDI event packet: cable and code index, then the MIDI message.
    static QByteArray usbMidiEvent(quint8 status, quint8 data1, quint8 data2, int cable = 0);
    /// Step `step` of a repeating demonstration pattern of pedal events: an
    /// expression sweep, a switch press and release, a hi-hat chick.
    static QByteArray demoEvent(int step);

private:
    using Key = QPair<QPair<int, int>, int>; // (pedal, slot), pedal type

    quint8 judgeSet(const PedalMessage &definition) const;
    void storeMessage(const PedalMessage &definition);
    PedalMessage stored(int pedal, int slot, int pedalType) const;
    PedalMessage unset(int pedal, int slot, int pedalType) const;
    static PedalMessage defaultMessage(int pedal, int slot, int pedalType);

    SimulatedModel m_model;
    int m_pedalCount;
    QString m_firmwareVersion;
    int m_forcedSetStatus = -1;
    int m_statusAfterHandshake = -1;
    bool m_unsetSlotsEmpty = false;
    QByteArray m_input;
    QMap<Key, PedalMessage> m_definitions;
    QMap<QPair<int, int>, int> m_lastType;
};
