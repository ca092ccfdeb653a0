// Region data and the region records of enhanced metafiles.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"

namespace mv::imaging::metafile {

namespace {

constexpr std::uint32_t kRegionHeader = 32;
constexpr std::uint32_t kMaxRegionRects = 100000;

} // namespace

QRegion readRegionData(ByteReader& r, std::uint32_t size)
{
    const qsizetype start = r.pos();
    r.skip(8); // header size, type
    const std::uint32_t count = r.u32le();
    r.skip(4 + 16); // region size, bounds
    if (!r.ok() || size < kRegionHeader || count > kMaxRegionRects ||
        std::uint64_t(count) * 16 > size - kRegionHeader || !r.has(qsizetype(count) * 16))
        return {};
    QList<QRect> rects;
    rects.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const QRect rect = boundedRect(readRectL(r)); // right and bottom lie outside
        if (!rect.isEmpty())
            rects.append(rect);
    }
    r.seek(start + qsizetype(size));
    return regionOfRects(rects);
}

bool EmfPlayer::playRegion(std::uint32_t type, ByteReader& r)
{
    if (type < EmrFillRgn || type > EmrPaintRgn)
        return false;
    r.skip(16); // bounds
    const std::uint32_t size = r.u32le();
    std::optional<GdiObject> brush;
    QSize stroke;
    if (type == EmrFillRgn || type == EmrFrameRgn)
        brush = object(r.u32le());
    if (type == EmrFrameRgn) {
        const int w = r.s32le();
        stroke = QSize(w, r.s32le());
    }
    const QRegion region = readRegionData(r, size);
    const auto* fill = brush ? std::get_if<GdiBrush>(&*brush) : nullptr;
    if (!r.ok() || region.isEmpty() || ((type == EmrFillRgn || type == EmrFrameRgn) && !fill))
        return true;
    switch (type) {
    case EmrFillRgn: canvas_.fillRegion(region, fill->brush); break;
    case EmrFrameRgn: canvas_.frameRegion(region, fill->brush, stroke); break;
    case EmrInvertRgn: canvas_.invertRegion(region); break;
    default: canvas_.fillRegion(region, canvas_.state().brush.brush); break;
    }
    return true;
}

} // namespace mv::imaging::metafile
