#include "midiout/midimessage.h"

namespace MidiMessage {

int lengthOf(quint8 status)
{
    switch (status & 0xF0) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 3;
    case 0xC0:
    case 0xD0:
        return 2;
    default:
        break;
    }
    switch (status) {
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
        return 1;
    default:
        return 0;
    }
}

QByteArray fromEventFrame(const QByteArray &frame)
{
    if (frame.size() != 4)
        return {};
    const int length = lengthOf(static_cast<quint8>(frame.at(1)));
    if (length == 0)
        return {};
    for (int i = 2; i <= length; ++i) {
        if (static_cast<quint8>(frame.at(i)) >= 0x80)
            return {};
    }
    return frame.mid(1, length);
}

} // namespace MidiMessage
