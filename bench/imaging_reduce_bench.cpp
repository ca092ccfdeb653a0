// The reduced copy of a 24-megapixel picture for a screen-sized view (6000 x 4000 to
// 1600 x 1067), as the viewing worker and the image control make it, beside Qt's smooth scaling
// of the whole picture in one step (what the control did before); and the cost of drawing the
// part of that picture a screen shows at 500 %, on screens of ratio 1 and 2. Items are the
// pixels of the full picture, or of the part drawn.
#include "imaging/base/ReducedCopy.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace mv::imaging;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
const QSize kView(1600, 1067);

// A gradient with fine noise, like a photo.
const QImage& photo()
{
    static const QImage image = [] {
        QImage p(kWidth, kHeight, QImage::Format_RGB32);
        std::mt19937 random(1);
        for (int y = 0; y < kHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(p.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const int n = int(random() % 48);
                line[x] = qRgb((x * 200 / kWidth) + n, (y * 200 / kHeight) + n,
                               ((x + y) * 200 / (kWidth + kHeight)) + n);
            }
        }
        return p;
    }();
    return image;
}

void BM_QtSmoothScaledOneStep(benchmark::State& state)
{
    const QImage& source = photo();
    for (auto _ : state) {
        QImage small = source.scaled(kView, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(small.constBits());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
}

void BM_ReducedCopy(benchmark::State& state)
{
    const QImage& source = photo();
    for (auto _ : state) {
        QImage small = reducedCopy(source, kView);
        benchmark::DoNotOptimize(small.constBits());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
}

// What the image control's paint does for an exposed part of a picture drawn enlarged: only
// the source pixels under it are read.
void BM_DrawExposedAt500Percent(benchmark::State& state)
{
    const qreal dpr = qreal(state.range(0));
    const QImage& picture = photo();
    const QSize screen(1600, 1000); // logical pixels exposed
    QImage device(screen * dpr, QImage::Format_RGB32);
    device.setDevicePixelRatio(dpr);
    const double zoom = 5.0 / dpr; // logical pixels per picture pixel at 500 %
    const QRectF exposed(QPointF(0, 0), QSizeF(screen));
    // The middle of the picture, as after scrolling there.
    const QRectF source(kWidth / 2.0, kHeight / 2.0, screen.width() / zoom, screen.height() / zoom);
    for (auto _ : state) {
        QPainter painter(&device);
        painter.drawImage(exposed, picture, source);
        painter.end();
        benchmark::DoNotOptimize(device.constBits());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(device.width()) * device.height());
}

BENCHMARK(BM_QtSmoothScaledOneStep)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReducedCopy)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_DrawExposedAt500Percent)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(1);

} // namespace

BENCHMARK_MAIN();
