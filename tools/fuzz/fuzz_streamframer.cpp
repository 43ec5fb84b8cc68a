// libFuzzer target over the stream framing. The input is a series of reads:
// one control byte c and then c % 64 + 1 stream bytes, fed once, or 96 times
// over when c is FF (so that unfinished packets outgrow their bound).
//
// The bytes are framed three times: in the input's reads, in one read, and
// one byte per read. All three must report the same frames, text replies and
// skipped bytes in the same order, every frame must be legal, every byte must
// be accounted for, and the bytes waiting between reads stay bounded.
//
// An input whose first byte is B5 instead drives the building of a stream of
// known items (sim/streamcorpus.h) and of the reads it is cut into: then the
// reports must also be exactly the items'.
#include "device/streamframer.h"
#include "fuzzcheck.h"
#include "sim/streamcorpus.h"

#include <QByteArray>
#include <QList>

#include <algorithm>

namespace {

using FuzzCheck::check;
using FuzzCheck::fail;

struct Report {
    int kind; ///< frame type 0..4, or StreamCorpus::TextReply / Garbage
    QByteArray bytes;
    bool operator==(const Report &o) const { return kind == o.kind && bytes == o.bytes; }
    bool operator!=(const Report &o) const { return !(*this == o); }
};

bool sysExForm(const QByteArray &p)
{
    return p.size() >= 6 && quint8(p.at(0)) == 0xF0 && p.at(1) == 0x00 && p.at(2) == 0x21
           && p.at(3) == 0x5E && quint8(p.at(p.size() - 1)) == 0xF7;
}

/// Whether a reported frame is one the link may deliver at all.
void checkLegal(int type, const QByteArray &f)
{
    const int n = f.size();
    switch (type) {
    case 0:
        check(sysExForm(f) && (n == 6 || n == 7), "type 0 shape", f);
        break;
    case 1:
        check(sysExForm(f) && (n == 8 || n == 9) && f.at(5) == 0x03, "type 1 shape", f);
        break;
    case 2:
        check(sysExForm(f) && (n == 23 || n == 24) && f.at(5) == 0x04, "type 2 shape", f);
        break;
    case 3:
        check(sysExForm(f) && n == 8 && f.at(5) == 0x05, "type 3 shape", f);
        break;
    case 4:
        check(n == 4 && StreamFramer::isAcceptedStatus(quint8(f.at(1)))
                  && !(quint8(f.at(0)) == 0xAA && quint8(f.at(1)) == 0xCC)
                  && quint8(f.at(2)) < 0x80 && quint8(f.at(3)) < 0x80,
              "type 4 shape", f);
        break;
    default:
        fail("frame type out of range", f);
    }
}

class Recorder : public StreamFramer::Sink
{
public:
    QList<Report> reports;
    QByteArray accounted;
    int status = -1;

    void frame(int type, const QByteArray &bytes) override
    {
        checkLegal(type, bytes);
        add(type, bytes);
    }
    void rejected(const QByteArray &bytes) override
    {
        check(!bytes.isEmpty(), "empty skip");
        add(StreamCorpus::Garbage, bytes);
    }
    void text(const QByteArray &reply) override
    {
        check(reply.endsWith("\r\n") || reply.endsWith("ERASE END"), "text reply shape", reply);
        add(StreamCorpus::TextReply, reply);
    }
    void packet(QByteArray &bytes) override
    {
        check(sysExForm(bytes) || (bytes.size() == 5 && quint8(bytes.at(4)) == 0xF7),
              "packet is not of the controller's form", bytes);
        StreamFramer::processPacket(bytes, status, *this);
        check(bytes.isEmpty(), "processPacket left bytes", bytes);
    }

private:
    void add(int kind, const QByteArray &bytes)
    {
        accounted += bytes;
        // Where a read ends may split a run of skipped bytes.
        if (kind == StreamCorpus::Garbage && !reports.isEmpty()
            && reports.last().kind == StreamCorpus::Garbage) {
            reports.last().bytes += bytes;
            return;
        }
        reports.append({kind, bytes});
    }
};

Recorder frameInReads(const QList<QByteArray> &reads)
{
    StreamFramer framer;
    Recorder r;
    for (const QByteArray &read : reads) {
        framer.feed(read, r);
        check(framer.buffer().size() < StreamFramer::MaxItem, "buffer over its bound",
              framer.buffer().left(64));
    }
    r.accounted += framer.buffer();
    return r;
}

void checkSame(const Recorder &a, const Recorder &b, const char *what)
{
    if (a.reports.size() != b.reports.size())
        fail(what, a.accounted);
    for (int i = 0; i < a.reports.size(); ++i) {
        if (a.reports.at(i) != b.reports.at(i))
            fail(what, a.reports.at(i).bytes);
    }
    check(a.status == b.status, "status value differs", a.accounted);
}

void checkSplits(const QList<QByteArray> &reads)
{
    QByteArray stream;
    for (const QByteArray &r : reads)
        stream += r;
    const Recorder inReads = frameInReads(reads);
    const Recorder whole = frameInReads({stream});
    QList<QByteArray> bytes;
    for (char c : stream)
        bytes.append(QByteArray(1, c));
    const Recorder byByte = frameInReads(bytes);

    check(whole.accounted == stream, "bytes lost or added", stream);
    check(inReads.accounted == stream, "bytes lost or added in reads", stream);
    checkSame(whole, inReads, "reads give other reports than one read");
    checkSame(whole, byByte, "single bytes give other reports than one read");
}

/// Draws from the fuzz input; 0 once it is used up.
struct InputDraw {
    const uint8_t *data;
    size_t size;
    size_t at = 0;
    quint32 operator()(quint32 n)
    {
        quint32 v = 0;
        for (int i = 0; i < 2 && at < size; ++i)
            v = (v << 8) | data[at++];
        return v % n;
    }
};

void checkBuilt(const uint8_t *data, size_t size)
{
    InputDraw input{data, size};
    const StreamCorpus::Draw draw = [&input](quint32 n) { return input(n); };
    const QList<StreamCorpus::Item> items = StreamCorpus::build(int(draw(40)) + 1, draw);
    const QByteArray stream = StreamCorpus::join(items);
    QList<QByteArray> reads;
    for (int at = 0; at < stream.size();) {
        const int length = 1 + int(draw(16));
        reads.append(stream.mid(at, length));
        at += length;
    }
    const Recorder r = frameInReads(reads);
    QList<Report> expected;
    for (const StreamCorpus::Item &item : items)
        expected.append({item.type, item.bytes});
    check(r.reports.size() == expected.size(), "reports differ from the items built", stream);
    for (int i = 0; i < expected.size(); ++i)
        check(r.reports.at(i) == expected.at(i), "report differs from its item",
              expected.at(i).bytes);
    checkSplits(reads);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 0 && data[0] == 0xB5) {
        checkBuilt(data + 1, size - 1);
        return 0;
    }
    QList<QByteArray> reads;
    size_t i = 0;
    while (i < size) {
        const quint8 control = data[i++];
        const size_t length = std::min<size_t>(control % 64 + 1, size - i);
        const QByteArray read(reinterpret_cast<const char *>(data + i), int(length));
        i += length;
        for (int n = control == 0xFF ? 96 : 1; n > 0; --n)
            reads.append(read);
    }
    checkSplits(reads);
    return 0;
}
