#include "imaging/retro/IlbmPixels.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"
#include "imaging/retro/PackBits.h"

#include <vector>

namespace mv::imaging {
namespace {

enum class Mode {
    Indexed,
    Chunky,
    HoldAndModify,
    TrueColour
};

struct Layout {
    Mode mode = Mode::Indexed;
    qsizetype planeBytes = 0; // one plane of one row (or the whole chunky row)
    qsizetype rowBytes = 0;   // everything stored for one row, mask included
};

QString chooseLayout(const IffPicture& p, Layout* layout)
{
    if (p.compression != 0 && p.compression != 1)
        return reason(Reason::UnsupportedCompression).arg(p.compression);
    if (p.chunky) {
        if (p.planes < 1 || p.planes > 8)
            return reason(Reason::UnsupportedPlanes).arg(p.planes);
        layout->mode = Mode::Chunky;
        layout->planeBytes = p.width + (p.width & 1);
        layout->rowBytes = layout->planeBytes;
        return {};
    }
    const bool ham = (p.viewModes & IffPicture::kHoldAndModify) && (p.planes == 6 || p.planes == 8);
    if (p.planes == 24)
        layout->mode = Mode::TrueColour;
    else if (p.planes >= 1 && p.planes <= 8)
        layout->mode = ham ? Mode::HoldAndModify : Mode::Indexed;
    else
        return reason(Reason::UnsupportedPlanes).arg(p.planes);
    layout->planeBytes = qsizetype((p.width + 15) / 16) * 2;
    const int stored = p.planes + (p.masking == IffPicture::kHasMask ? 1 : 0);
    layout->rowBytes = layout->planeBytes * stored;
    return {};
}

QList<QRgb> colourTable(const IffPicture& p, int count)
{
    QList<QRgb> colours = p.colours.isEmpty() ? greyRamp(count) : p.colours;
    colours.resize(count, qRgb(0, 0, 0));
    const bool halfBrite = (p.viewModes & IffPicture::kExtraHalfBrite) && p.planes == 6;
    if (halfBrite) {
        for (int i = 32; i < qMin(64, int(colours.size())); ++i) {
            const QRgb c = colours[i - 32];
            colours[i] = qRgb(qRed(c) >> 1, qGreen(c) >> 1, qBlue(c) >> 1);
        }
    }
    return colours;
}

void holdAndModify(const std::uint8_t* indices, int width, int planes, const QList<QRgb>& base, QRgb* out)
{
    const int valueBits = planes - 2;
    const int mask = (1 << valueBits) - 1;
    // HAM6 sets a whole 4-bit component (v * 17 on 8 bits); HAM8 sets only the top 6 bits
    // and keeps the held colour's low 2, as the Amiga's display does.
    const auto modify = [valueBits](int v, int held) {
        return valueBits == 4 ? v * 17 : (v << 2) | (held & 3);
    };
    QRgb colour = base[0];
    for (int x = 0; x < width; ++x) {
        const int value = indices[x] & mask;
        switch (indices[x] >> valueBits) {
        case 0: colour = base[value]; break;
        case 1: colour = qRgb(qRed(colour), qGreen(colour), modify(value, qBlue(colour))); break;
        case 2: colour = qRgb(modify(value, qRed(colour)), qGreen(colour), qBlue(colour)); break;
        default: colour = qRgb(qRed(colour), modify(value, qGreen(colour)), qBlue(colour)); break;
        }
        out[x] = colour;
    }
}

void trueColourRow(const std::uint8_t* row, qsizetype planeBytes, int width, std::uint8_t* scratch, QRgb* out)
{
    std::uint8_t* r = scratch;
    std::uint8_t* g = scratch + width;
    std::uint8_t* b = scratch + 2 * width;
    planesToIndices(row, planeBytes, 8, width, r);
    planesToIndices(row + 8 * planeBytes, planeBytes, 8, width, g);
    planesToIndices(row + 16 * planeBytes, planeBytes, 8, width, b);
    for (int x = 0; x < width; ++x)
        out[x] = qRgb(r[x], g[x], b[x]);
}

} // namespace

DecodeResult decodeIffBody(const IffPicture& p)
{
    Layout layout;
    if (QString why = chooseLayout(p, &layout); !why.isEmpty())
        return DecodeResult::failure(why);
    const bool indexed = layout.mode == Mode::Indexed || layout.mode == Mode::Chunky;
    if (QString why = checkDimensions(p.width, p.height, indexed ? 1 : 4); !why.isEmpty())
        return DecodeResult::failure(why);
    if (p.compression == 0 && p.body.size() < layout.rowBytes * p.height)
        return DecodeResult::failure(reason(Reason::Truncated));
    // A packed row needs at least one control and one value byte for every 128 bytes.
    if (p.compression == 1 && p.body.size() < qint64(p.height) * 2 * ((layout.rowBytes + 127) / 128))
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image =
        allocateImage(p.width, p.height, indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32, &why);
    if (image.isNull())
        return DecodeResult::failure(why);

    const int paletteSize = layout.mode == Mode::Chunky || layout.mode == Mode::TrueColour
                                ? 256
                                : 1 << (layout.mode == Mode::HoldAndModify ? p.planes - 2 : p.planes);
    const QList<QRgb> colours = colourTable(p, paletteSize);
    if (indexed)
        image.setColorTable(colours);

    ByteReader in(p.body);
    std::vector<std::uint8_t> packed(size_t(layout.rowBytes));
    std::vector<std::uint8_t> scratch(size_t(p.width) * 3);
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = packed.data();
        if (p.compression == 0)
            row = reinterpret_cast<const std::uint8_t*>(p.body.data()) + qsizetype(y) * layout.rowBytes;
        else if (!unpackBitsRow(in, packed.data(), layout.rowBytes))
            return DecodeResult::failure(reason(Reason::Truncated));
        std::uint8_t* line = image.scanLine(y);
        auto* rgb = reinterpret_cast<QRgb*>(line);
        switch (layout.mode) {
        case Mode::Chunky: std::copy(row, row + p.width, line); break;
        case Mode::Indexed: planesToIndices(row, layout.planeBytes, p.planes, p.width, line); break;
        case Mode::HoldAndModify:
            planesToIndices(row, layout.planeBytes, p.planes, p.width, scratch.data());
            holdAndModify(scratch.data(), p.width, p.planes, colours, rgb);
            break;
        case Mode::TrueColour: trueColourRow(row, layout.planeBytes, p.width, scratch.data(), rgb); break;
        }
    }
    return DecodeResult::success(std::move(image), storedDepth(p.planes));
}

} // namespace mv::imaging
