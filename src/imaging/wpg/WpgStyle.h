// What the vector players of both versions share: limits against hostile files, the version 1
// colour lookup, pens, and bitmap records turned into picture items.
#pragma once

#include "imaging/wpg/WpgBitmaps.h"
#include "imaging/wpg/WpgPicture.h"
#include "imaging/wpg/WpgRecords.h"

#include <QColor>
#include <QPen>

#include <cstdint>
#include <vector>

namespace mv::imaging::wpg {

inline constexpr int kMaxWpgRecords = 200000;
inline constexpr std::size_t kMaxWpgItems = 100000;
inline constexpr int kMaxWpgTextLength = 4096;
// All bitmaps of one picture together, decoded: beyond this the rest are left out.
inline constexpr std::int64_t kMaxWpgBitmapBytes = std::int64_t(256) << 20;

// A version 1 colour index: the colour map's entry, else EGA colours then a grey ramp.
QColor wpg1Colour(const WpgColours& colours, int index);

// A pen of the file's line styles: 0 none, 1 solid, others dashes; width 0 is one pixel wide.
QPen wpgPen(int style, const QColor& colour, double width);

// Collects the items of a picture and keeps them within the limits.
class WpgItemList {
public:
    [[nodiscard]] bool full() const { return items_.size() >= kMaxWpgItems; }
    [[nodiscard]] bool hasShapes() const { return shapes_ > 0; }
    void addPath(const QPainterPath& path, const QPen& pen, const QBrush& brush);
    void addText(WpgItem item);
    // Decodes the bitmap record (with the colours set so far) and places it over rect; a bitmap
    // that cannot be decoded is left out.
    void addBitmap(const WpgRecord& record, int version, const WpgColours& colours, const QRectF& rect);
    std::vector<WpgItem> take() { return std::move(items_); }

private:
    std::vector<WpgItem> items_;
    std::size_t shapes_ = 0;
    std::int64_t bitmapBytes_ = 0;
};

} // namespace mv::imaging::wpg
