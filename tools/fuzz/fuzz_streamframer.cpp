// libFuzzer target over the stream framing. The input is a series of reads:
// one control byte c and then c % 64 + 1 stream bytes, fed once, or 96 times
// over when c is FF (so that unfinished packets outgrow the buffer's bound).
// Each read is fed to StreamFramer and, in parallel, to a plain model of the
// framing written straight from the protocol rules; both must report the
// same frames, status value and buffer, and every frame must be legal.
#include "device/streamframer.h"
#include "fuzzcheck.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using FuzzCheck::check;
using FuzzCheck::fail;

struct Frame {
    int type;
    QByteArray bytes;
    bool operator==(const Frame &o) const { return type == o.type && bytes == o.bytes; }
};

bool acceptedStatus(quint8 b)
{
    return (b >= 0x80 && b <= 0xEF) || b == 0xF8 || b == 0xFA || b == 0xFB || b == 0xFC;
}

bool sysExForm(const QByteArray &p)
{
    return p.size() >= 6 && quint8(p.at(0)) == 0xF0 && p.at(1) == 0x00 && p.at(2) == 0x21
           && p.at(3) == 0x5E && quint8(p.at(p.size() - 1)) == 0xF7;
}

/// Whether a reported frame is one the link may deliver at all.
void checkLegal(const Frame &f)
{
    const int n = f.bytes.size();
    switch (f.type) {
    case 0:
        check(sysExForm(f.bytes) && (n == 6 || n == 7), "type 0 shape", f.bytes);
        break;
    case 1:
        check(sysExForm(f.bytes) && (n == 8 || n == 9) && f.bytes.at(5) == 0x03, "type 1 shape",
              f.bytes);
        break;
    case 2:
        check(sysExForm(f.bytes) && (n == 23 || n == 24) && f.bytes.at(5) == 0x04,
              "type 2 shape", f.bytes);
        break;
    case 3:
        check(sysExForm(f.bytes) && n == 8 && f.bytes.at(5) == 0x05, "type 3 shape", f.bytes);
        break;
    case 4:
        check(n == 4 && acceptedStatus(quint8(f.bytes.at(1))), "type 4 shape", f.bytes);
        break;
    default:
        fail("frame type out of range", f.bytes);
    }
}

/// The framing as the protocol describes it, kept deliberately naive.
class ModelFramer
{
public:
    QByteArray buffer;
    int status = -1;
    QList<Frame> frames;
    QByteArray inspected;

    void feed(const QByteArray &bytes)
    {
        buffer += bytes;
        if (buffer.size() < 4)
            return;
        for (int at = 0; at + 4 <= buffer.size(); at += 4) {
            if (acceptedStatus(quint8(buffer.at(at + 1))))
                frames.append({4, buffer.mid(at, 4)});
        }
        inspected = buffer;
        for (;;) {
            const int f0 = buffer.indexOf(char(0xF0));
            if (f0 < 0) {
                buffer.clear();
                break;
            }
            buffer.remove(0, f0);
            const int f7 = buffer.indexOf(char(0xF7), 1);
            if (f7 < 0)
                break;
            QByteArray packet = buffer.left(f7 + 1);
            buffer.remove(0, f7 + 1);
            processPacket(packet);
        }
        if (buffer.size() > StreamFramer::MaxBuffered)
            buffer = buffer.right(StreamFramer::MaxBuffered);
    }

private:
    void processPacket(QByteArray p)
    {
        if (p.size() == 6 && sysExForm(p))
            status = quint8(p.at(4));
        while (!p.isEmpty()) {
            const int n = p.size();
            int type = -1;
            if (sysExForm(p)) {
                if (n == 6 || n == 7)
                    type = 0;
                else if ((n == 23 || n == 24) && p.at(5) == 0x04)
                    type = 2;
                else if ((n == 8 || n == 9) && p.at(5) == 0x03)
                    type = 1;
                else if ((n == 7 || n == 8) && p.at(5) == 0x05)
                    type = 3;
            }
            if (type >= 0) {
                frames.append({type, p});
                return;
            }
            if (n < 4)
                return;
            if (acceptedStatus(quint8(p.at(1))))
                frames.append({4, p.left(4)});
            p.remove(0, 4);
        }
    }
};

/// Checks each frame as it comes against the frames the model expects.
class CheckingSink : public StreamFramer::Sink
{
public:
    const QList<Frame> *expected = nullptr;
    int seen = 0;
    QByteArray inspected;
    int status = -1;

    void frame(int type, const QByteArray &bytes) override
    {
        const Frame f{type, bytes};
        checkLegal(f);
        check(seen < expected->size() && expected->at(seen) == f, "frame differs from the model",
              bytes);
        ++seen;
    }
    void inspect(const QByteArray &buffer) override { inspected = buffer; }
    void packet(QByteArray &bytes) override
    {
        check(bytes.size() >= 2 && quint8(bytes.at(0)) == 0xF0
                  && quint8(bytes.at(bytes.size() - 1)) == 0xF7
                  && bytes.indexOf(char(0xF7)) == bytes.size() - 1,
              "packet is not one F0..F7 run", bytes);
        StreamFramer::processPacket(bytes, status, *this);
        check(bytes.isEmpty(), "processPacket left bytes", bytes);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    StreamFramer framer;
    CheckingSink sink;
    ModelFramer model;

    size_t i = 0;
    int round = 0;
    int times = 0;
    QByteArray read;
    while (i < size || round < times) {
        if (round == times) {
            const quint8 control = data[i++];
            const size_t length = std::min<size_t>(control % 64 + 1, size - i);
            read = QByteArray(reinterpret_cast<const char *>(data + i), int(length));
            i += length;
            round = 0;
            times = control == 0xFF ? 96 : 1;
        }
        ++round;

        model.frames.clear();
        model.feed(read);
        sink.expected = &model.frames;
        sink.seen = 0;
        framer.feed(read, sink);
        check(sink.seen == model.frames.size(), "fewer frames than the model", read);
        check(sink.status == model.status, "status value differs from the model", read);
        check(sink.inspected == model.inspected, "inspected buffer differs", read);
        check(framer.buffer() == model.buffer, "buffer differs from the model", framer.buffer());

        const QByteArray &b = framer.buffer();
        check(b.size() <= StreamFramer::MaxBuffered, "buffer over its bound", QByteArray());
        if (b.size() >= 4) {
            // Only an unfinished packet waits: no F7 in it, and it starts with
            // F0 unless its head was cut to keep the bound.
            check(!b.contains(char(0xF7)), "a finished packet stayed", b.left(64));
            check(quint8(b.at(0)) == 0xF0 || b.size() == StreamFramer::MaxBuffered,
                  "waiting bytes do not start a packet", b.left(64));
        }
    }
    return 0;
}
