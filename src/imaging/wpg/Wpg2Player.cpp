#include "imaging/wpg/Wpg2Player.h"

#include "imaging/DecodeLimits.h"
#include "imaging/wpg/Wpg2Objects.h"
#include "imaging/wpg/WpgStyle.h"

#include <cmath>

namespace mv::imaging {
namespace {

enum Wpg2Type {
    kBitmap = 0x1B, kPolyline = 0x15, kPolyspline = 0x16, kPolycurve = 0x17, kRectangle = 0x18,
    kArc = 0x19, kPenForeColour = 0x25, kPenStyle = 0x29, kPenSize = 0x2B, kBrushForeColour = 0x31,
    kBrushPattern = 0x35,
};

struct Frame {
    double unitsPerInchX = 0;
    double unitsPerInchY = 0;
    bool doublePrecision = false;
    QRectF extent; // in file coordinates, y up
};

QColor rgba(ByteReader& in)
{
    const int r = in.u8();
    const int g = in.u8();
    const int b = in.u8();
    return QColor(r, g, b, 255 - in.u8()); // the file stores transparency
}

class Player {
public:
    explicit Player(const Frame& frame)
        : precise_(frame.doublePrecision),
          toPicture_(1, 0, 0, -1, -frame.extent.left(), frame.extent.bottom()),
          extent_(QPointF(0, 0), frame.extent.size())
    {
    }

    void play(const WpgRecord& record, bool pageAttribute)
    {
        ByteReader in(record.body);
        switch (record.type) {
        case wpg2::kColourPalette: applyWpgColours(record.body, 4, &colours_); return;
        case wpg2::kBitmapData: items_.addBitmap(record, 2, colours_, bitmapPlace_); return;
        case kBitmap: bitmap(in); return;
        case kPolyline:
        case kPolyspline: polyline(in); return;
        case kPolycurve: polycurve(in); return;
        case kRectangle: rectangle(in); return;
        case kArc: arc(in); return;
        default: break;
        }
        if (!pageAttribute)
            attribute(record.type, in);
    }

    WpgItemList& items() { return items_; }

private:
    void attribute(int type, ByteReader& in)
    {
        switch (type) {
        case kPenForeColour: penColour_ = rgba(in); break;
        case kPenSize: penWidth_ = in.u16le(); break;
        case kPenStyle: penStyle_ = in.u16le() == 0 ? 1 : 2; break;
        case kBrushForeColour: {
            if (in.u8() != 0)
                in.skip(2); // a gradient: its colour count, then its first colour
            brushColour_ = rgba(in);
            break;
        }
        case kBrushPattern: hollow_ = in.u16le() == 1; break;
        default: break; // unknown records are passed by
        }
    }

    QPointF point(ByteReader& in)
    {
        const double x = readWpg2Coordinate(in, precise_);
        return { x, readWpg2Coordinate(in, precise_) };
    }

    QPolygonF points(ByteReader& in, qsizetype count, int perItem)
    {
        count = std::min(count, in.remaining() / (perItem * (precise_ ? 8 : 4)));
        QPolygonF polygon;
        polygon.reserve(count * perItem);
        for (qsizetype i = 0; i < count * perItem; ++i)
            polygon.append(point(in));
        return polygon;
    }

    void add(const Wpg2Object& object, const QPainterPath& path)
    {
        const QPen pen = object.framed ? wpgPen(penStyle_, penColour_, penWidth_) : QPen(Qt::NoPen);
        const QBrush brush = object.filled && !hollow_ ? QBrush(brushColour_) : QBrush(Qt::NoBrush);
        QPainterPath mapped = (object.matrix * toPicture_).map(path);
        mapped.setFillRule(object.windingRule ? Qt::WindingFill : Qt::OddEvenFill);
        items_.addPath(mapped, pen, brush);
    }

    void polyline(ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QPolygonF p = points(in, in.u16le(), 1);
        if (p.size() < 2)
            return;
        QPainterPath path;
        path.addPolygon(p);
        if (object.closed || object.filled)
            path.closeSubpath();
        add(object, path);
    }

    // Each point comes with the control point before it and the one after it.
    void polycurve(ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QPolygonF p = points(in, in.u16le(), 3);
        if (p.size() < 6)
            return;
        QPainterPath path(p[1]);
        for (qsizetype i = 3; i + 2 < p.size(); i += 3)
            path.cubicTo(p[i - 1], p[i], p[i + 1]);
        if (object.closed)
            path.closeSubpath();
        add(object, path);
    }

    void rectangle(ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QPointF a = point(in);
        const QPointF b = point(in);
        const QPointF round = point(in);
        if (!in.ok())
            return;
        QPainterPath path;
        path.addRoundedRect(QRectF(a, b).normalized(), std::abs(round.x()), std::abs(round.y()));
        add(object, path);
    }

    // Centre, radii, then the start and end points relative to the centre: equal ones make a
    // whole ellipse, else the arc runs counter-clockwise from start to end.
    void arc(ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QPointF centre = point(in);
        const QPointF radius = point(in);
        const QPointF start = point(in);
        const QPointF end = point(in);
        if (!in.ok())
            return;
        const double rx = std::abs(radius.x());
        const double ry = std::abs(radius.y());
        QPainterPath path;
        if (start == end) {
            path.addEllipse(centre, rx, ry);
        } else {
            const double a0 = std::atan2(start.y(), start.x());
            double sweep = std::atan2(end.y(), end.x()) - a0;
            if (sweep <= 0)
                sweep += 2 * M_PI;
            const int steps = std::max(4, int(sweep * 45 / M_PI));
            for (int i = 0; i <= steps; ++i) {
                const double a = a0 + sweep * i / steps;
                const QPointF p(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
                i == 0 ? path.moveTo(p) : path.lineTo(p);
            }
            if (object.closed || object.filled)
                path.closeSubpath();
        }
        add(object, path);
    }

    void bitmap(ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QPointF a = point(in);
        const QPointF b = point(in);
        if (in.ok())
            bitmapPlace_ = (object.matrix * toPicture_).mapRect(QRectF(a, b).normalized());
    }

    bool precise_;
    QTransform toPicture_;
    QRectF extent_;
    QRectF bitmapPlace_ = extent_;
    WpgColours colours_;
    QColor penColour_ = Qt::black;
    double penWidth_ = 0;
    int penStyle_ = 1;
    QColor brushColour_ = Qt::black;
    bool hollow_ = false;
    WpgItemList items_;
};

// The start record: units per inch, precision, viewport, then the picture's extent.
QString readFrame(const WpgRecord& record, Frame* frame)
{
    ByteReader in(record.body);
    frame->unitsPerInchX = in.u16le();
    frame->unitsPerInchY = in.u16le();
    const int precision = in.u8();
    if (precision > 1)
        return QStringLiteral("unsupported coordinate precision %1").arg(precision);
    frame->doublePrecision = precision == 1;
    in.skip(frame->doublePrecision ? 16 : 8); // viewport
    QPointF corner[2];
    for (QPointF& c : corner) {
        const double x = readWpg2Coordinate(in, frame->doublePrecision);
        c = QPointF(x, readWpg2Coordinate(in, frame->doublePrecision));
    }
    if (!in.ok())
        return QStringLiteral("the file is truncated");
    if (frame->unitsPerInchX <= 0 || frame->unitsPerInchY <= 0)
        return QStringLiteral("the picture has no unit of measure");
    frame->extent = QRectF(corner[0], corner[1]).normalized();
    if (frame->extent.isEmpty())
        return QStringLiteral("the picture has no size");
    const double w = frame->extent.width() / frame->unitsPerInchX * 96;
    const double h = frame->extent.height() / frame->unitsPerInchY * 96;
    return checkDimensions(std::int64_t(std::ceil(w)), std::int64_t(std::ceil(h)), 1);
}

} // namespace

WpgPlayResult playWpg2(QByteArrayView data, const WpgHeader& header)
{
    WpgRecordWalker walker(data, header);
    WpgRecord record;
    std::unique_ptr<Player> player;
    Frame frame;
    std::uint32_t pageChildren = 0;
    for (int n = 0; n < kMaxWpgRecords && walker.next(&record); ++n) {
        const bool pageAttribute = pageChildren > 0;
        pageChildren -= pageAttribute ? 1 : 0;
        if (record.type == wpg2::kStart) {
            if (player)
                continue;
            if (QString why = readFrame(record, &frame); !why.isEmpty())
                return { {}, false, why };
            player = std::make_unique<Player>(frame);
            pageChildren = record.extension;
        } else if (player) {
            player->play(record, pageAttribute);
        }
    }
    if (!player)
        return { {}, false, walker.error().isEmpty() ? QStringLiteral("the start record is missing") : walker.error() };
    const QSizeF pixels(frame.extent.width() / frame.unitsPerInchX * 96, frame.extent.height() / frame.unitsPerInchY * 96);
    WpgPlayResult result;
    result.hasShapes = player->items().hasShapes();
    result.picture = std::make_shared<WpgPicture>(frame.extent.size(), pixels, player->items().take());
    return result;
}

} // namespace mv::imaging
