// Playing metafiles of 10,000 records (lines, rectangles, polygons, ellipses, arcs, text and
// object selections) into a 1000 x 1000 picture.
#include "SampleMetafiles.h"

#include "imaging/base/Picture.h"
#include "imaging/metafile/MetafileDecoder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 10000;

void play(benchmark::State& state, const mv::imaging::Picture& p)
{
    if (!p.ok()) {
        state.SkipWithError("the metafile did not decode");
        return;
    }
    QImage image(1000, 1000, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        p.drawing->draw(painter, QRectF(0, 0, 1000, 1000));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_PlayWmf(benchmark::State& state)
{
    play(state, mv::imaging::decodeWmfData(mv::imaging::test::mixedWmf(kRecords)));
}
void BM_PlayEmf(benchmark::State& state)
{
    play(state, mv::imaging::decodeEmfData(mv::imaging::test::mixedEmf(kRecords)));
}
void BM_LoadWmf(benchmark::State& state)
{
    const QByteArray bytes = mv::imaging::test::mixedWmf(kRecords);
    for (auto _ : state)
        benchmark::DoNotOptimize(mv::imaging::decodeWmfData(bytes));
}

BENCHMARK(BM_PlayWmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayEmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWmf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // text needs fonts; no display is needed
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
