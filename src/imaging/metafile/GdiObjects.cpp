#include "imaging/metafile/GdiObjects.h"

#include "imaging/base/ByteReader.h"

#include <algorithm>

namespace mv::imaging::metafile {

QColor colorFromRef(std::uint32_t ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

GdiPen makePen(std::uint32_t style, double width, QColor color)
{
    QPen pen(color);
    pen.setWidthF(std::clamp(width, 0.0, 1e6));
    switch (style & 0x0F) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    case 5: pen.setStyle(Qt::NoPen); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    switch (style & 0x0F00) {
    case 0x0100: pen.setCapStyle(Qt::SquareCap); break;
    case 0x0200: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (style & 0xF000) {
    case 0x1000: pen.setJoinStyle(Qt::BevelJoin); break;
    case 0x2000: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return {pen};
}

GdiBrush makeBrush(std::uint32_t style, QColor color, std::uint32_t hatch)
{
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (style) {
    case 1: return {QBrush(Qt::NoBrush)};
    case 2: return {QBrush(color, hatch < 6 ? kHatches[hatch] : Qt::SolidPattern)};
    default: return {QBrush(color)};
    }
}

GdiFont readLogFont(ByteReader& r, bool enhanced)
{
    const auto field = [&r, enhanced] { return enhanced ? double(r.s32le()) : double(r.s16le()); };
    GdiFont f;
    f.height = std::abs(field());
    field(); // width
    f.escapement = field() / 10.0;
    field(); // orientation
    f.weight = int(field());
    f.italic = r.u8() != 0;
    f.underline = r.u8() != 0;
    f.strikeOut = r.u8() != 0;
    r.skip(5); // charset, precisions, quality, pitch
    if (f.height == 0 || f.height > 1e7)
        f.height = 12;
    for (int i = 0; i < 32 && r.has(enhanced ? 2 : 1); ++i) {
        const char16_t c = enhanced ? r.u16le() : char16_t(r.u8()); // 8-bit names read as Latin-1
        if (c == 0)
            break;
        f.face.append(QChar(c));
    }
    return f;
}

QRect boundedRect(const QRectF& r)
{
    const QRectF limit(-kMaxRegionUnits, -kMaxRegionUnits, 2.0 * kMaxRegionUnits, 2.0 * kMaxRegionUnits);
    return r.normalized().intersected(limit).toRect();
}

QRegion regionOfRects(const QList<QRect>& rects)
{
    QRegion region;
    for (const QRect& r : rects)
        region += r;
    return region;
}

const std::vector<QRgb>& defaultPalette()
{
    static const std::vector<QRgb> colours = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255),
    };
    return colours;
}

GdiPalette readLogPalette(QByteArrayView bytes)
{
    ByteReader r(bytes);
    r.skip(2); // version
    const std::uint16_t count = r.u16le();
    GdiPalette p;
    if (!r.ok() || count > kMaxPaletteColours || !r.has(qsizetype(count) * 4))
        return p;
    p.colours.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int red = r.u8(), green = r.u8(), blue = r.u8();
        r.skip(1); // flags
        p.colours.push_back(qRgb(red, green, blue));
    }
    return p;
}

ObjectTable::ObjectTable(std::size_t size) : slots_(std::min(size, kMaxObjects)) {}

bool ObjectTable::addLowest(GdiObject object)
{
    while (firstFree_ < slots_.size() && slots_[firstFree_])
        ++firstFree_;
    if (firstFree_ == slots_.size())
        return false;
    slots_[firstFree_++] = std::move(object);
    return true;
}

void ObjectTable::put(std::uint32_t index, GdiObject object)
{
    if (index < slots_.size())
        slots_[index] = std::move(object);
    // firstFree_ only matters for addLowest, which enhanced metafiles never use.
}

void ObjectTable::remove(std::uint32_t index)
{
    if (index < slots_.size()) {
        slots_[index].reset();
        firstFree_ = std::min<std::size_t>(firstFree_, index);
    }
}

const GdiObject* ObjectTable::get(std::uint32_t index) const
{
    if (index >= slots_.size() || !slots_[index])
        return nullptr;
    return &*slots_[index];
}

} // namespace mv::imaging::metafile
