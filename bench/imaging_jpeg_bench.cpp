// JPEG decode throughput on a 24-megapixel photo-like picture made in memory once: full size
// with the default options and with libjpeg's own defaults (slow integer DCT, fancy
// upsampling), and at 1/8 scale. Items are the pixels of the full picture.
#include "../tests/imaging/core/JpegEncoder.h"

#include "imaging/jpeg/JpegDecoder.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace mv::imaging;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A gradient with fine noise, so that the file has the detail of a photo (about 3 bits per pixel).
const QByteArray& photo()
{
    static const QByteArray file = [] {
        QImage image = test::gradient(kWidth, kHeight);
        std::mt19937 random(1);
        for (int y = 0; y < kHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const int n = int(random() % 48) - 24;
                line[x] = qRgb(qBound(0, qRed(line[x]) + n, 255), qBound(0, qGreen(line[x]) - n, 255),
                               qBound(0, qBlue(line[x]) + n / 2, 255));
            }
        }
        test::JpegSpec spec;
        spec.quality = 90;
        return test::encodeJpeg(image, spec);
    }();
    return file;
}

void decodeWith(benchmark::State& state, const DecodeOptions& options)
{
    const QByteArray& file = photo();
    for (auto _ : state) {
        Picture p = decodeJpeg(file, options);
        if (!p.ok())
            state.SkipWithError(p.status.reason.c_str());
        benchmark::DoNotOptimize(p.image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
    state.counters["file_MB"] = double(file.size()) / 1e6;
}

void BM_JpegFullDefaults(benchmark::State& state)
{
    decodeWith(state, {});
}

void BM_JpegFullSlowFancy(benchmark::State& state)
{
    DecodeOptions o;
    o.dctMethod = DctMethod::SlowInteger;
    o.jpegFancyUpsampling = true;
    decodeWith(state, o);
}

void BM_JpegEighth(benchmark::State& state)
{
    DecodeOptions o;
    o.targetSize = QSize(kWidth / 8, kHeight / 8);
    decodeWith(state, o);
}

BENCHMARK(BM_JpegFullDefaults)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_JpegFullSlowFancy)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_JpegEighth)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
