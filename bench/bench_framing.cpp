// Framing throughput on a realistic mixed stream: live events with replies of
// the configuration protocol and identity text interleaved, fed in 64-byte and
// 4-KiB reads. Also prints the ratio to the 115200-baud line rate.
#include "device/streamframer.h"

#include <benchmark/benchmark.h>

namespace {

class CountingSink : public StreamFramer::Sink
{
public:
    long frames = 0;
    long texts = 0;
    int status = -1;
    void frame(int, const QByteArray &) override { ++frames; }
    void text(const QByteArray &) override { ++texts; }
    void packet(QByteArray &bytes) override { StreamFramer::processPacket(bytes, status, *this); }
};

/// About 1 MiB: mostly four-byte events, every 40th item a reply (a
/// configuration reply with F7 in its data among them) or a text line.
QByteArray mixedStream()
{
    const QByteArray note = QByteArray::fromHex("09903C64");
    const QByteArray cc = QByteArray::fromHex("0BB00740");
    const QByteArray reply24 =
        QByteArray::fromHex("F000215E1004" "0000010007000000007F003200F700" "3200" "F7");
    const QByteArray status = QByteArray::fromHex("F000215E03F7");
    const QByteArray text("ZT-3\r\n");
    QByteArray out;
    out.reserve(1 << 20);
    for (int i = 0; out.size() < (1 << 20); ++i) {
        switch (i % 40) {
        case 13: out += reply24; break;
        case 27: out += status; break;
        case 39: out += text; break;
        default: out += (i & 1) ? note : cc;
        }
    }
    return out;
}

void feedInReads(benchmark::State &state)
{
    static const QByteArray stream = mixedStream();
    const int readSize = int(state.range(0));
    long frames = 0;
    for (auto _ : state) {
        StreamFramer framer;
        CountingSink sink;
        for (int pos = 0; pos < stream.size(); pos += readSize)
            framer.feed(stream.mid(pos, readSize), sink);
        frames += sink.frames;
        benchmark::DoNotOptimize(sink.frames);
    }
    const double bytes = double(stream.size()) * state.iterations();
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["frames"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    // 115200 baud with 8N1 framing carries 11520 bytes per second.
    state.counters["x_line_rate"] =
        benchmark::Counter(bytes / 11520.0, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(feedInReads)->Arg(64)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
