// Decode speed of the retro family (IFF, PC Paint, WPG, ART, MacPaint, HRZ) in megapixels a
// second, on pictures made in memory by the test encoders: 4000 x 3000 where the format allows.
#include "writers/RetroEncoders.h"
#include "writers/WpgWriter.h"

#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/wpg/WpgDecoder.h"

#include <benchmark/benchmark.h>

namespace {

using namespace mv::imaging;
using namespace mv::imaging::test;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Runs of seven equal pixels with a change of colour every few rows: both run and literal codes.
std::uint32_t sample(int x, int y)
{
    return std::uint32_t((x / 7 * 5 + y / 3 * 11 + (x % 7 == 3 ? x : 0)) & 0xFF);
}

void run(benchmark::State& state, const QByteArray& file, DecodeResult (*decode)(QByteArrayView))
{
    qint64 pixels = 0;
    for (auto _ : state) {
        const DecodeResult r = decode(file);
        if (!r.ok()) {
            state.SkipWithError(r.status.reason.c_str());
            return;
        }
        pixels = qint64(r.image.width()) * r.image.height();
        benchmark::DoNotOptimize(r.image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["MP/s"] =
        benchmark::Counter(double(pixels) * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

QByteArray iffFile(int planes, bool compress, bool chunky, int width = kWidth, int height = kHeight)
{
    IffInput s;
    s.width = width;
    s.height = height;
    s.planes = planes;
    s.compress = compress;
    s.chunky = chunky;
    for (int i = 0; i < 256 && planes <= 8; ++i)
        s.colours.append(qRgb(i, i, i));
    s.value = planes == 24 ? [](int x, int y) { return sample(x, y) * 0x010101u; } : sample;
    return encodeIff(s);
}

QByteArray picFile(int bits, int planes, bool compress)
{
    PicInput s;
    s.width = kWidth;
    s.height = kHeight;
    s.bits = bits;
    s.planes = planes;
    s.compress = compress;
    s.blockLimit = 30000;
    const int mask = (1 << (bits * planes)) - 1;
    s.value = [mask](int x, int y) { return int(sample(x, y)) & mask; };
    return encodePic(s);
}

QByteArray wpgFile(int version, bool compress)
{
    WpgBitmapInput s;
    s.width = kWidth;
    s.height = kHeight;
    s.depth = 8;
    s.compress = compress;
    s.value = sample;
    return version == 1 ? encodeWpg1({s}) : encodeWpg2(s);
}

void BM_IlbmRaw8(benchmark::State& st)
{
    static const QByteArray f = iffFile(8, false, false);
    run(st, f, decodeIff);
}
void BM_IlbmByteRun8(benchmark::State& st)
{
    static const QByteArray f = iffFile(8, true, false);
    run(st, f, decodeIff);
}
void BM_IlbmByteRun24(benchmark::State& st)
{
    static const QByteArray f = iffFile(24, true, false);
    run(st, f, decodeIff);
}
// 2000 x 1500 true colour: a picture below glibc's mmap threshold, so that its memory is reused
// between runs as that of the 8-bit pictures is; the 4000 x 3000 one takes fresh pages each time.
void BM_IlbmByteRun24Small(benchmark::State& st)
{
    static const QByteArray f = iffFile(24, true, false, kWidth / 2, kHeight / 2);
    run(st, f, decodeIff);
}
// The floor of every 4000 x 3000 true-colour decode: allocating and filling its image.
void BM_AllocateRgb32(benchmark::State& st)
{
    for (auto _ : st) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(0u);
        benchmark::DoNotOptimize(image.constBits());
    }
    st.SetItemsProcessed(st.iterations() * kWidth * kHeight);
}
void BM_PbmRaw(benchmark::State& st)
{
    static const QByteArray f = iffFile(8, false, true);
    run(st, f, decodeIff);
}
void BM_PbmByteRun(benchmark::State& st)
{
    static const QByteArray f = iffFile(8, true, true);
    run(st, f, decodeIff);
}
void BM_PicRaw8(benchmark::State& st)
{
    static const QByteArray f = picFile(8, 1, false);
    run(st, f, decodePic);
}
void BM_PicRle8(benchmark::State& st)
{
    static const QByteArray f = picFile(8, 1, true);
    run(st, f, decodePic);
}
void BM_PicRlePlanarEga(benchmark::State& st)
{
    static const QByteArray f = picFile(1, 4, true);
    run(st, f, decodePic);
}
void BM_Wpg1Rle8(benchmark::State& st)
{
    static const QByteArray f = wpgFile(1, true);
    run(st, f, decodeWpg);
}
void BM_Wpg2Raw8(benchmark::State& st)
{
    static const QByteArray f = wpgFile(2, false);
    run(st, f, decodeWpg);
}
void BM_Wpg2Rle8(benchmark::State& st)
{
    static const QByteArray f = wpgFile(2, true);
    run(st, f, decodeWpg);
}
void BM_ArtRaw(benchmark::State& st)
{
    static const QByteArray f = encodeArt(kWidth, kHeight, [](int x, int y) { return sample(x, y) & 1; });
    run(st, f, decodeArt);
}
void BM_MacPaintPacked(benchmark::State& st)
{
    static const QByteArray f = encodeMacPaint([](int x, int y) { return sample(x, y) & 1; }, true);
    run(st, f, decodeMacPaint);
}
void BM_Hrz(benchmark::State& st)
{
    static const QByteArray f = encodeHrz([](int x, int y) {
        return std::array<std::uint8_t, 3> {std::uint8_t(x & 63), std::uint8_t(y & 63),
                                            std::uint8_t(sample(x, y) & 63)};
    });
    run(st, f, decodeHrz);
}

BENCHMARK(BM_IlbmRaw8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IlbmByteRun8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IlbmByteRun24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IlbmByteRun24Small)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllocateRgb32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PbmRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PbmByteRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicRaw8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicRle8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicRlePlanarEga)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wpg1Rle8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wpg2Raw8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wpg2Rle8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArtRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MacPaintPacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hrz)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
