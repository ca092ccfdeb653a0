// Object records of enhanced metafiles: the table by explicit index, and the stock objects.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"
#include "imaging/metafile/MetafileBitmap.h"

#include <optional>

namespace mv::imaging::metafile {

namespace {

constexpr std::uint32_t kStock = 0x80000000;

std::optional<GdiObject> stockObject(std::uint32_t which)
{
    switch (which) {
    case 0: return makeBrush(0, Qt::white, 0);
    case 1: return makeBrush(0, QColor(192, 192, 192), 0);
    case 2: return makeBrush(0, QColor(128, 128, 128), 0);
    case 3: return makeBrush(0, QColor(64, 64, 64), 0);
    case 4: return makeBrush(0, Qt::black, 0);
    case 5: return makeBrush(1, Qt::black, 0);
    case 6: return makePen(0, 0, Qt::white);
    case 7: return makePen(0, 0, Qt::black);
    case 8: return makePen(5, 0, Qt::black);
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17: return GdiFont {};
    case 15: return GdiPalette {defaultPalette()};
    case 18: return makeBrush(0, Qt::white, 0);
    case 19: return makePen(0, 0, Qt::black);
    default: return std::nullopt;
    }
}

} // namespace

bool EmfPlayer::playObject(std::uint32_t type, ByteReader& r, QByteArrayView record)
{
    switch (type) {
    case EmrCreatePen: {
        const std::uint32_t index = r.u32le(), style = r.u32le();
        const double width = r.s32le();
        r.skip(4);
        objects_.put(index, makePen(style, std::abs(width), colorFromRef(r.u32le())));
        break;
    }
    case EmrExtCreatePen: {
        const std::uint32_t index = r.u32le();
        r.skip(16); // the pattern bitmap is not drawn: the pen takes its colour
        const std::uint32_t style = r.u32le(), width = r.u32le();
        r.skip(4);                                    // brush style
        constexpr std::uint32_t kGeometric = 0x10000; // else a cosmetic pen: one pixel wide
        objects_.put(index, makePen(style, style & kGeometric ? double(width) : 0, colorFromRef(r.u32le())));
        break;
    }
    case EmrCreateBrushIndirect: {
        const std::uint32_t index = r.u32le(), style = r.u32le();
        const QColor color = colorFromRef(r.u32le());
        objects_.put(index, makeBrush(style, color, r.u32le()));
        break;
    }
    case EmrCreateDibPatternBrushPt:
    case EmrCreateMonoBrush: {
        const std::uint32_t index = r.u32le();
        r.skip(4); // usage
        const std::uint32_t offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
        const MetafileBitmap b =
            decodeMetafileBitmap(recordPart(record, offBmi, cbBmi), recordPart(record, offBits, cbBits));
        objects_.put(index, GdiBrush {b.ok() ? QBrush(b.image) : QBrush(Qt::gray)});
        break;
    }
    case EmrExtCreateFontIndirectW: createFont(r); break;
    case EmrCreatePalette: {
        const std::uint32_t index = r.u32le();
        objects_.put(index, readLogPalette(r.take(r.remaining())));
        break;
    }
    case EmrSelectObject:
    case EmrSelectPalette: select(r.u32le()); break;
    case EmrDeleteObject: objects_.remove(r.u32le()); break;
    default: return false;
    }
    return true;
}

std::optional<GdiObject> EmfPlayer::object(std::uint32_t index) const
{
    if (index & kStock)
        return stockObject(index & ~kStock);
    const GdiObject* o = objects_.get(index);
    return o ? std::optional<GdiObject>(*o) : std::nullopt;
}

void EmfPlayer::select(std::uint32_t index)
{
    if (const std::optional<GdiObject> o = object(index))
        selectObject(canvas_.state(), *o); // out of range or empty: ignored
}

void EmfPlayer::createFont(ByteReader& r)
{
    const std::uint32_t index = r.u32le();
    objects_.put(index, readLogFont(r, true));
}

} // namespace mv::imaging::metafile
