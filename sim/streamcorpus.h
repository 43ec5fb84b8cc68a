#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

/// Streams of what a controller sends, built item by item so that the frames
/// and text replies in them are known beforehand: for the framing's property
/// test, its fuzz target and the monitor benchmark.
namespace StreamCorpus {

/// What an item yields: a frame type 0..4, or one of these.
enum : int { TextReply = -1, Garbage = -2 };

struct Item
{
    int type;
    QByteArray bytes;
};

/// draw(n) gives a value in [0, n): a seeded generator, or fuzz input.
using Draw = std::function<quint32(quint32)>;

inline quint8 acceptedStatus(const Draw &draw)
{
    static const quint8 realTime[] = {0xF8, 0xFA, 0xFB, 0xFC};
    if (draw(8) == 0)
        return realTime[draw(4)];
    return quint8(0x80 + draw(0x70));
}

inline quint8 anyBut(const Draw &draw, quint8 avoided)
{
    const quint8 b = quint8(draw(256));
    return b == avoided ? quint8(b ^ 1) : b;
}

/// A four-byte event. Byte 0 may hold anything (the link does not read it),
/// except that AA CC opens a text reply; lowHeader keeps it below 80, which
/// an event right after garbage needs.
inline QByteArray event(const Draw &draw, bool lowHeader = false)
{
    QByteArray e(4, '\0');
    e[1] = char(acceptedStatus(draw));
    quint8 header = quint8(draw(lowHeader ? 0x80 : 0x100));
    if (header == 0xAA && quint8(e.at(1)) == 0xCC)
        header = 0xAB;
    e[0] = char(header);
    e[2] = char(draw(0x80));
    e[3] = char(draw(0x80));
    return e;
}

inline QByteArray sysEx(std::initializer_list<quint8> body)
{
    QByteArray p = QByteArray::fromHex("F000215E");
    for (quint8 b : body)
        p.append(char(b));
    p.append(char(0xF7));
    return p;
}

/// A configuration reply of 24 bytes (or of 23, without byte 22) whose data
/// bytes may be F7: trigger levels 247, 503, ... put it in byte 17.
inline QByteArray configurationReply(const Draw &draw, bool shortForm = false)
{
    QByteArray p = QByteArray::fromHex("F000215E");
    p.append(char(anyBut(draw, 0xF7)));
    p.append(char(0x04));
    p.append(char(draw(16))); // pedal
    for (int i = 7; i < (shortForm ? 22 : 23); ++i)
        p.append(char(draw(4) == 0 ? 0xF7 : draw(256)));
    if (!shortForm)
        p[22] = char(draw(0x40)); // the trigger level's high byte
    p.append(char(0xF7));
    return p;
}

inline QByteArray textReply(const Draw &draw)
{
    static const char *const models[] = {"ZT-3", "ZT-1", "QRX-10", "QRX-20", "QRX-30", "WQM-30"};
    switch (draw(3)) {
    case 0:
        return QByteArray(models[draw(6)]) + "\r\n";
    case 1:
        return QByteArray::fromHex("AACC06") + 'V' + QByteArray::number(draw(10)) + '.'
               + QByteArray::number(draw(100)) + "\r\n";
    default:
        return QByteArrayLiteral("ERASE END");
    }
}

/// Bytes no item starts with and that start no item with their neighbours.
inline QByteArray garbage(const Draw &draw)
{
    static const quint8 alphabet[] = {0x00, 0x01, 0x02, 0x05, 0x07, 0x0E, 0x1F, 0x7F,
                                      0xF1, 0xF7, 0xF9, 0xFD, 0xFE, 0xFF};
    QByteArray g;
    const int n = 1 + int(draw(12));
    for (int i = 0; i < n; ++i)
        g.append(char(alphabet[draw(sizeof alphabet)]));
    return g;
}

/// One item of every kind the stream may hold, in random order and with
/// random contents. Garbage is followed by a reply or by an event whose
/// byte 0 is below 80: the items the link finds its way back on.
inline QList<Item> build(int count, const Draw &draw)
{
    QList<Item> items;
    bool afterGarbage = false;
    for (int i = 0; i < count; ++i) {
        Item item{4, QByteArray()};
        const quint32 pick = draw(afterGarbage ? 11 : 20);
        switch (pick) {
        case 0: item = {0, sysEx({anyBut(draw, 0xF7)})}; break;
        case 1: item = {0, sysEx({anyBut(draw, 0xF7), anyBut(draw, 0xF7)})}; break;
        case 2: item = {0, sysEx({0x01, 0x04})}; break; // four pedals: not a configuration reply
        case 3: item = {1, sysEx({0x10, 0x03, quint8(draw(16)), quint8(draw(4))})}; break;
        case 4: item = {1, sysEx({0x10, 0x03, quint8(draw(16))})}; break;
        case 5: item = {3, sysEx({0x03, 0x05, quint8(draw(16))})}; break;
        case 6: item = {2, configurationReply(draw)}; break;
        case 7: item = {2, configurationReply(draw, true)}; break;
        case 8:
        case 9: item = {TextReply, afterGarbage ? QByteArray("ZT-3\r\n") : textReply(draw)}; break;
        case 10:
        case 11:
        case 12:
            if (!afterGarbage) {
                item = {Garbage, garbage(draw)};
                break;
            }
            Q_FALLTHROUGH();
        default: item = {4, event(draw, afterGarbage)}; break;
        }
        afterGarbage = item.type == Garbage;
        items.append(item);
    }
    if (afterGarbage) // bytes at the very end wait for what follows them
        items.append({4, event(draw, true)});
    return items;
}

inline QByteArray join(const QList<Item> &items)
{
    QByteArray out;
    for (const Item &item : items)
        out += item.bytes;
    return out;
}

} // namespace StreamCorpus
