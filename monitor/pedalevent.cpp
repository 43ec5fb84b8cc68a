#include "monitor/pedalevent.h"

PedalEvent PedalEvent::decode(const QByteArray &frame)
{
    const int size = frame.size();
    const auto byteAt = [&frame, size](int i) { return i < size ? int(quint8(frame.at(i))) : 0; };
    PedalEvent e;
    e.messageNumber = byteAt(0) >> 4;
    e.status = byteAt(1);
    e.channel = (e.status & 0x0F) + 1;
    e.kind = e.status & 0xF0;
    e.data1 = byteAt(2);
    e.data2 = byteAt(3);
    return e;
}
