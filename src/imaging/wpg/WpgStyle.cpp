#include "imaging/wpg/WpgStyle.h"

#include "imaging/base/Palettes.h"

namespace mv::imaging::wpg {

QColor wpg1Colour(const WpgColours& colours, int index)
{
    index &= 0xFF;
    if (colours.stored.test(size_t(index)))
        return QColor::fromRgb(colours.colour[size_t(index)]);
    static const QList<QRgb> ega = egaPalette();
    static const QList<QRgb> grey = greyRamp(256);
    return QColor::fromRgb(index < ega.size() ? ega[index] : grey[index]);
}

QPen wpgPen(int style, const QColor& colour, double width)
{
    if (style == 0)
        return QPen(Qt::NoPen);
    QPen pen(colour, width > 0 ? width : 0);
    switch (style) {
    case 1: pen.setStyle(Qt::SolidLine); break;
    case 3: pen.setStyle(Qt::DotLine); break;
    case 4: pen.setStyle(Qt::DashDotLine); break;
    case 5: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::DashLine); break;
    }
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void WpgItemList::addPath(const QPainterPath& path, const QPen& pen, const QBrush& brush)
{
    if (full() || path.isEmpty())
        return;
    WpgItem item;
    item.path = path;
    item.pen = pen;
    item.brush = brush;
    items_.push_back(std::move(item));
    ++shapes_;
}

void WpgItemList::addText(WpgItem item)
{
    if (full() || item.text.isEmpty())
        return;
    item.kind = WpgItem::Kind::Text;
    items_.push_back(std::move(item));
    ++shapes_;
}

void WpgItemList::addBitmap(const WpgRecord& record, int version, const WpgColours& colours,
                            const QRectF& rect)
{
    WpgBitmap bitmap;
    if (full() || rect.isEmpty() || !readWpgBitmap(record, version, &bitmap).isEmpty())
        return;
    const std::int64_t bytes = std::int64_t(bitmap.width) * bitmap.height * 4;
    if (bytes > kMaxWpgBitmapBytes - bitmapBytes_)
        return;
    bitmap.colours = colours;
    DecodeResult decoded = decodeWpgBitmap(bitmap);
    if (!decoded.ok())
        return;
    bitmapBytes_ += bytes;
    WpgItem item;
    item.kind = WpgItem::Kind::Image;
    item.image = std::move(decoded.image);
    item.rect = rect;
    items_.push_back(std::move(item));
}

} // namespace mv::imaging::wpg
