#pragma once

#include <QByteArray>

/// The MIDI message a live event frame carries, as it goes out to a MIDI port.
namespace MidiMessage {

/// Length in bytes of the message a status byte starts: 3 for note off/on,
/// polyphonic pressure, control change and pitch bend, 2 for program change
/// and channel pressure, 1 for clock, start, continue and stop; 0 for every
/// status a pedal event never carries (system common, sysex, undefined, data bytes).
int lengthOf(quint8 status);

/// Bytes 1 to 3 of a four-byte event frame, cut to the message's true length.
/// Empty when the frame is no event: not four bytes, a status of length 0,
/// or a data byte of the message at 80 or above.
QByteArray fromEventFrame(const QByteArray &frame);

} // namespace MidiMessage
