// Decode throughput of the pc family on a 4000 x 3000 picture, in pixels per second
// (items processed = pixels): the uncompressed and RLE variants of each format.
#include "writers/PcEncoders.h"

#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace mv::imaging;
using namespace mv::imaging::test;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const IndexedPicture& picture(int colours)
{
    static const IndexedPicture two = makeIndexed(kWidth, kHeight, 2);
    static const IndexedPicture sixteen = makeIndexed(kWidth, kHeight, 16);
    static const IndexedPicture full = makeIndexed(kWidth, kHeight, 256);
    return colours == 2 ? two : colours == 16 ? sixteen : full;
}

const RgbPicture& colours()
{
    static const RgbPicture p = makeRgb(kWidth, kHeight, 4);
    return p;
}

template <typename Decode>
void run(benchmark::State& state, const QByteArray& file, Decode decode)
{
    for (auto _ : state) {
        DecodeResult r = decode(file);
        if (!r.ok() || r.image.width() != kWidth || r.image.height() != kHeight) {
            state.SkipWithError(r.ok() ? "wrong picture size" : r.status.reason.c_str());
            break;
        }
        benchmark::DoNotOptimize(r.image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["file_MB"] = double(file.size()) / 1e6;
}

TargaOptions targa(int type, int depth)
{
    TargaOptions o;
    o.type = type, o.depth = depth, o.alphaBits = depth == 32 ? 8 : 0;
    return o;
}

DibOptions dib(int bits, int compression)
{
    DibOptions o;
    o.bits = bits, o.compression = compression;
    if (compression == 3)
        o.masks[0] = 0xFF0000, o.masks[1] = 0xFF00, o.masks[2] = 0xFF, o.masks[3] = 0xFF000000,
        o.headerSize = 108;
    return o;
}

// The floor under every 32-bit decode: allocating and writing the picture once.
void allocateOnly(benchmark::State& state, QImage::Format format)
{
    for (auto _ : state) {
        QImage image(kWidth, kHeight, format);
        image.fill(0);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void registerAll()
{
    benchmark::RegisterBenchmark("Baseline/allocate_fill_indexed8", allocateOnly, QImage::Format_Indexed8)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Baseline/allocate_fill_rgb32", allocateOnly, QImage::Format_RGB32)
        ->Unit(benchmark::kMillisecond);
    using F = QByteArray (*)();
    auto add = [](const char* name, F make, auto decode) {
        auto file = std::make_shared<QByteArray>(); // made on first use, so a filter skips the work
        benchmark::RegisterBenchmark(name, [make, decode, file](benchmark::State& s) {
            if (file->isEmpty())
                *file = make();
            run(s, *file, decode);
        })->Unit(benchmark::kMillisecond);
    };
    add(
        "Pcx/8bit_raw",
        [] {
            return encodePcx({8, 1, false}, &picture(256));
        },
        decodePcx);
    add(
        "Pcx/8bit_rle",
        [] {
            return encodePcx({8, 1, true}, &picture(256));
        },
        decodePcx);
    add(
        "Pcx/4planes_rle",
        [] {
            return encodePcx({1, 4, true}, &picture(16));
        },
        decodePcx);
    add(
        "Pcx/24bit_rle",
        [] {
            return encodePcx({8, 3, true}, nullptr, &colours());
        },
        decodePcx);
    add(
        "Targa/8bit_mapped_raw", [] { return encodeTarga(targa(1, 8), &picture(256)); }, decodeTarga);
    add(
        "Targa/24bit_raw", [] { return encodeTarga(targa(2, 24), nullptr, &colours()); }, decodeTarga);
    add(
        "Targa/32bit_rle", [] { return encodeTarga(targa(10, 32), nullptr, &colours()); }, decodeTarga);
    add(
        "Targa/16bit_rle", [] { return encodeTarga(targa(10, 16), nullptr, &colours()); }, decodeTarga);
    add(
        "SunRaster/8bit_raw",
        [] {
            return encodeSun({8, 1, true}, &picture(256));
        },
        decodeSunRaster);
    add(
        "SunRaster/8bit_rle",
        [] {
            return encodeSun({8, 2, true}, &picture(256));
        },
        decodeSunRaster);
    add(
        "SunRaster/24bit_raw",
        [] {
            return encodeSun({24, 1, false}, nullptr, &colours());
        },
        decodeSunRaster);
    add(
        "Dib/8bit_raw", [] { return encodeDib(dib(8, 0), &picture(256)); }, decodeDib);
    add(
        "Dib/8bit_rle", [] { return encodeDib(dib(8, 1), &picture(256)); }, decodeDib);
    add(
        "Dib/4bit_rle", [] { return encodeDib(dib(4, 2), &picture(16)); }, decodeDib);
    add(
        "Dib/24bit_raw", [] { return encodeDib(dib(24, 0), nullptr, &colours()); }, decodeDib);
    add(
        "Dib/32bit_bitfields", [] { return encodeDib(dib(32, 3), nullptr, &colours()); }, decodeDib);
    add(
        "Dib/16bit_555", [] { return encodeDib(dib(16, 0), nullptr, &colours()); }, decodeDib);
    add(
        "Msp/v1_raw", [] { return encodeMsp(1, picture(2)); }, decodeMsp);
    add(
        "Msp/v2_rle", [] { return encodeMsp(2, picture(2)); }, decodeMsp);
    add(
        "GemImg/mono",
        [] {
            return encodeGemImg({1, 2, false}, picture(2));
        },
        decodeGemImg);
    add(
        "GemImg/4planes",
        [] {
            return encodeGemImg({4, 2, true}, picture(16));
        },
        decodeGemImg);
    add(
        "Cut/rle", [] { return encodeCut(picture(256)); },
        [](const QByteArray& f) { return decodeCut(f, {}); });
}

} // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
