// The drawing objects a metafile creates (pens, brushes, fonts) and the table that holds them
// by index. Objects we do not draw with (palettes, regions) keep their slot all the same.
#pragma once

#include <QBrush>
#include <QByteArrayView>
#include <QColor>
#include <QPen>
#include <QRectF>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace mv::imaging {
class ByteReader;
}

namespace mv::imaging::metafile {

struct GdiPen {
    QPen pen; // width in logical units; 0 means one device pixel
};

struct GdiBrush {
    QBrush brush; // Qt::NoBrush for a hollow brush
};

struct GdiFont {
    double height = 12; // logical units, absolute value
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    double escapement = 0; // degrees, counter-clockwise
    QString face;
};

// A region: rectangles in logical units.
struct GdiRegion {
    QRegion region;
};

// A logical palette: what the colour tables of palette-indexed bitmaps point into.
struct GdiPalette {
    std::vector<QRgb> colours;
};

struct GdiOther {};

using GdiObject = std::variant<GdiOther, GdiPen, GdiBrush, GdiFont, GdiRegion, GdiPalette>;

inline constexpr std::size_t kMaxPaletteColours = 1024;

// A LOGFONT: fields of 32 bits and a UTF-16 face name in enhanced metafiles, of 16 bits and
// an 8-bit face name in old ones.
GdiFont readLogFont(ByteReader& r, bool enhanced);

// Region rectangles beyond this many units from the origin are cut there: far outside any
// picture, and integer rectangle arithmetic overflows near the limits of int.
inline constexpr int kMaxRegionUnits = 1 << 24;
QRect boundedRect(const QRectF& r);

// The union of rectangles in any order (QRegion::setRects wants them sorted and banded,
// which a hostile file need not give).
QRegion regionOfRects(const QList<QRect>& rects);

// The palette a device context starts with: the twenty reserved system colours.
const std::vector<QRgb>& defaultPalette();
// A LOGPALETTE (version, count, then red, green, blue, flags per entry); empty when damaged.
GdiPalette readLogPalette(QByteArrayView bytes);

// COLORREF 0x00BBGGRR.
QColor colorFromRef(std::uint32_t ref);
// Pen and brush from their logical descriptions; style and hatch values as in the files.
GdiPen makePen(std::uint32_t style, double width, QColor color);
GdiBrush makeBrush(std::uint32_t style, QColor color, std::uint32_t hatch);

class ObjectTable {
public:
    static constexpr std::size_t kMaxObjects = 65535;

    explicit ObjectTable(std::size_t size);

    // The lowest free slot gets the object (old metafiles); false when the table is full.
    bool addLowest(GdiObject object);
    // At a stated index (enhanced metafiles); an index out of range is ignored.
    void put(std::uint32_t index, GdiObject object);
    void remove(std::uint32_t index);
    [[nodiscard]] const GdiObject* get(std::uint32_t index) const;

private:
    std::vector<std::optional<GdiObject>> slots_;
    std::size_t firstFree_ = 0; // no free slot below this one
};

} // namespace mv::imaging::metafile
