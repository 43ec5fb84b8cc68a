#pragma once

#include "pedal/editorsnapshot.h"
#include "pedal/pedalmessage.h"

#include <QByteArray>
#include <QString>

/// The System Exclusive commands the window writes to the controller:
/// F0 00 21 5E, command byte, sub-code, payload, F7.
namespace ConfigCommands {

constexpr quint8 HandshakeCommand = 0x01;
constexpr quint8 DeleteCommand = 0x03;
constexpr quint8 AskCommand = 0x04;
constexpr quint8 SetCommand = 0x10;
constexpr quint8 SetSubCode = 0x03;
constexpr quint8 AskSubCode = 0x04;
constexpr quint8 DeleteSubCode = 0x05;
/// The pedal byte of a delete command that resets the controller to factory settings.
constexpr quint8 FactoryResetPedal = 0x58;

/// A selector index as a command byte: -1 (empty selector) becomes 0xFF.
inline quint8 indexByte(int index) { return static_cast<quint8>(index & 0xFF); }

QByteArray handshake();                                   ///< 7 bytes
QByteArray askShort(int pedal, int message);              ///< 9 bytes
QByteArray askLong(int pedal, int message, int pedalTypeIndex); ///< 10 bytes
QByteArray set(const PedalMessage &message);              ///< 24 bytes
QByteArray deletePedal(int pedal);                        ///< 8 bytes
QByteArray factoryReset();                                ///< 8 bytes

/// The message slot definition the editor state describes.
PedalMessage buildPedalMessage(const EditorSnapshot &editor);

enum class AskForm { Short, Long };

/// Which ask the Check button sends. deviceText is the selected device-list
/// entry, extractedValue the last status value (-1 before any), pedalIndex
/// the selected pedal (-1 when none).
AskForm checkAskForm(const QString &deviceText, int extractedValue, int pedalIndex);

} // namespace ConfigCommands
