#include "imaging/wpg/Wpg1Player.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"
#include "imaging/wpg/WpgPattern.h"
#include "imaging/wpg/WpgStyle.h"

#include <QTransform>

#include <cmath>

namespace mv::imaging::wpg {
namespace {

constexpr double kUnitsPerInch = 1200;

enum Wpg1Type {
    kFill = 0x01,
    kLine = 0x02,
    kLineShape = 0x05,
    kPolyline = 0x06,
    kRectangle = 0x07,
    kPolygon = 0x08,
    kEllipse = 0x09,
    kText = 0x0C,
    kTextAttributes = 0x0D,
    kCurve = 0x13,
};

struct TextStyle {
    double height = 240; // 1/5 inch until an attribute record says otherwise
    int align = 0;
    int colour = 0;
    double angle = 0;
};

class Player {
public:
    explicit Player(QSizeF units) : flip_(1, 0, 0, -1, 0, units.height()), units_(units) {}

    void play(const WpgRecord& record)
    {
        ByteReader in(record.body);
        switch (record.type) {
        case kFill: fill(in); break;
        case kLine: line(in); break;
        case v1::kColourMap: applyWpgColours(record.body, 3, &colours_); break;
        case kLineShape: lineShape(in); break;
        case kPolyline: shape(points(in, in.u16le()), false); break;
        case kPolygon: shape(points(in, in.u16le()), true); break;
        case kRectangle: rectangle(in); break;
        case kEllipse: ellipse(in); break;
        case kCurve: curve(in); break;
        case kTextAttributes: textAttributes(in); break;
        case kText: text(in); break;
        case v1::kBitmapType1:
        case v1::kBitmapType2: bitmap(record, in); break;
        default: break; // unknown records are passed by
        }
    }

    WpgItemList& items() { return items_; }

private:
    void fill(ByteReader& in)
    {
        const int style = in.u8();
        const QColor colour = wpg1Colour(colours_, in.u8());
        brush_ = wpgBrush(wpg1FillStyle(style), colour);
    }

    void line(ByteReader& in)
    {
        const int style = in.u8();
        const int colour = in.u8();
        pen_ = wpgPen(style, wpg1Colour(colours_, colour), in.u16le());
    }

    QPointF point(ByteReader& in)
    {
        const double x = in.s16le();
        return {x, double(in.s16le())};
    }

    // At most as many points as the record holds.
    QPolygonF points(ByteReader& in, qsizetype count)
    {
        count = std::min(count, in.remaining() / 4);
        QPolygonF polygon;
        polygon.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            polygon.append(point(in));
        return polygon;
    }

    void add(const QPainterPath& path, bool filled)
    {
        items_.addPath(flip_.map(path), pen_, filled ? brush_ : Qt::NoBrush);
    }

    void lineShape(ByteReader& in)
    {
        const QPolygonF ends = points(in, 2);
        shape(ends, false);
    }

    void shape(const QPolygonF& polygon, bool closed)
    {
        if (polygon.size() < 2)
            return;
        QPainterPath path;
        path.addPolygon(polygon);
        if (closed)
            path.closeSubpath();
        add(path, closed);
    }

    void rectangle(ByteReader& in)
    {
        const QPointF corner = point(in);
        const QPointF size = point(in);
        if (!in.ok())
            return;
        QPainterPath path;
        path.addRect(QRectF(corner, QSizeF(size.x(), size.y())).normalized());
        add(path, true);
    }

    void ellipse(ByteReader& in)
    {
        const QPointF centre = point(in);
        const QPointF radius = point(in);
        const double rotation = in.s16le();
        const double start = in.s16le();
        const double end = in.s16le();
        if (!in.ok())
            return;
        const double rx = std::abs(radius.x());
        const double ry = std::abs(radius.y());
        QPainterPath path;
        const bool full = start == end || std::abs(end - start) >= 360;
        if (full) {
            path.addEllipse(centre, rx, ry);
        } else {
            double sweep = std::fmod(end - start, 360.0);
            if (sweep < 0)
                sweep += 360;
            const int steps = std::max(4, int(sweep / 4));
            for (int i = 0; i <= steps; ++i) {
                const double a = (start + sweep * i / steps) * M_PI / 180;
                const QPointF p(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
                i == 0 ? path.moveTo(p) : path.lineTo(p);
            }
        }
        const QTransform turn = QTransform()
                                    .translate(centre.x(), centre.y())
                                    .rotate(rotation)
                                    .translate(-centre.x(), -centre.y());
        add(turn.map(path), full);
    }

    // A start point, then for each segment two control points and an end point.
    void curve(ByteReader& in)
    {
        in.skip(4);
        const QPolygonF p = points(in, in.u16le());
        if (p.size() < 4)
            return;
        QPainterPath path(p[0]);
        for (qsizetype i = 1; i + 2 < p.size(); i += 3)
            path.cubicTo(p[i], p[i + 1], p[i + 2]);
        add(path, false);
    }

    void textAttributes(ByteReader& in)
    {
        in.skip(2); // character cell width
        const int height = in.u16le();
        in.skip(10 + 2 + 1); // reserved, font, reserved
        const int align = in.u8();
        in.skip(1); // vertical alignment
        const int colour = in.u8();
        const int angle = in.s16le();
        if (!in.ok())
            return;
        text_.height = height > 0 ? height : text_.height;
        text_.align = std::min(align, 2);
        text_.colour = colour;
        text_.angle = angle;
    }

    void text(ByteReader& in)
    {
        const int length = in.u16le();
        const QPointF at = point(in);
        if (!in.ok() || length > in.remaining())
            return;
        WpgItem item;
        item.text = QString::fromLatin1(in.take(std::min(length, kMaxWpgTextLength)));
        item.font.setPixelSize(std::max(1, int(text_.height)));
        item.textColour = wpg1Colour(colours_, text_.colour);
        item.at = flip_.map(at);
        item.angle = text_.angle;
        item.align = text_.align;
        items_.addText(std::move(item));
    }

    void bitmap(const WpgRecord& record, ByteReader& in)
    {
        QRectF place(QPointF(0, 0), units_);
        if (record.type == v1::kBitmapType2) {
            in.skip(2); // rotation
            const QPointF a = point(in);
            const QPointF b = point(in);
            place = QRectF(flip_.map(a), flip_.map(b)).normalized();
        }
        items_.addBitmap(record, 1, colours_, place);
    }

    QTransform flip_;
    QSizeF units_;
    WpgColours colours_;
    QPen pen_ = QPen(Qt::black, 0);
    QBrush brush_ = QBrush(Qt::black);
    TextStyle text_;
    WpgItemList items_;
};

} // namespace

WpgPlayResult playWpg1(QByteArrayView data, const WpgHeader& header)
{
    WpgPlayResult result;
    WpgRecordWalker walker(data, header);
    WpgRecord record;
    std::unique_ptr<Player> player;
    QSizeF units;
    for (int n = 0; n < kMaxWpgRecords && walker.next(&record); ++n) {
        if (record.type == v1::kStart) {
            if (player)
                continue;
            ByteReader in(record.body);
            in.skip(2); // version, flags
            const int width = in.u16le();
            units = QSizeF(width, in.u16le());
            if (!in.ok())
                return WpgPlayResult::failure(reason(Reason::Truncated));
            if (units.isEmpty())
                return WpgPlayResult::failure(
                    reason(Reason::NoSizeOf).arg(units.width()).arg(units.height()));
            player = std::make_unique<Player>(units);
        } else if (player) {
            player->play(record);
        }
    }
    if (!player)
        return WpgPlayResult::failure(walker.error().isEmpty() ? reason(Reason::NoStartRecord)
                                                               : walker.error());
    result.hasShapes = player->items().hasShapes();
    const QSizeF pixels = units / kUnitsPerInch * 96;
    result.picture = std::make_shared<WpgPicture>(units, pixels, player->items().take());
    return result;
}

} // namespace mv::imaging::wpg
