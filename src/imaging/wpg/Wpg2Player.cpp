#include "imaging/wpg/Wpg2Player.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/wpg/Wpg2Objects.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgPattern.h"
#include "imaging/wpg/WpgStyle.h"

#include <cmath>
#include <optional>
#include <vector>

namespace mv::imaging::wpg {
namespace {

enum Wpg2Type {
    kBitmap = 0x1B,
    kPolyline = 0x15,
    kPolyspline = 0x16,
    kPolycurve = 0x17,
    kRectangle = 0x18,
    kArc = 0x19,
    kPenForeColour = 0x25,
    kPenStyle = 0x29,
    kPenSize = 0x2B,
    kBrushForeColour = 0x31,
    kBrushPattern = 0x35,
    kTextData = 0x0F,
    kCompound = 0x1A,
    kTextLine = 0x1C,
    kTextBlock = 0x1D,
    kTextPath = 0x1E,
};

// Records nested deeper than this count towards the group around them.
constexpr std::size_t kMaxGroupDepth = 64;

// A record whose extension says how many of the records after it are its children.
struct Group {
    int type = 0;
    std::uint32_t remaining = 0;
    Wpg2Object object; // a compound polygon's own head
    QPainterPath path; // a compound polygon's shapes so far, in picture coordinates
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
    // pageAttributes: how many records after the start record belong to it.
    Player(const Frame& frame, std::uint32_t pageAttributes)
        : precise_(frame.doublePrecision),
          toPicture_(1, 0, 0, -1, -frame.extent.left(), frame.extent.bottom()),
          extent_(QPointF(0, 0), frame.extent.size()), textHeight_(frame.unitsPerInchY / 6) // 12 points
    {
        if (pageAttributes > 0)
            groups_.push_back({v2::kStart, pageAttributes, {}, {}});
    }

    void play(const WpgRecord& record)
    {
        ByteReader in(record.body);
        switch (record.type) {
        case v2::kColourPalette: applyWpgColours(record.body, 4, &colours_); break;
        case v2::kBitmapData: items_.addBitmap(record, 2, colours_, bitmapPlace_); break;
        case kBitmap: bitmap(in); break;
        case kPolyline:
        case kPolyspline: polyline(in); break;
        case kPolycurve: polycurve(in); break;
        case kRectangle: rectangle(in); break;
        case kArc: arc(in); break;
        case kCompound: compoundHead_ = readWpg2Object(in); break;
        case kTextLine:
        case kTextBlock:
        case kTextPath: textPlace(record.type, in); break;
        case kTextData: textData(record.body); break;
        default: attribute(record.type, in); break;
        }
        count(record);
    }

    // Draws the compound polygons still open when the records ran out.
    WpgItemList& finish()
    {
        while (!groups_.empty())
            closeGroup();
        return items_;
    }

private:
    [[nodiscard]] bool inGroup(int type) const { return !groups_.empty() && groups_.back().type == type; }

    // The record counts against the group it is in; one with children opens a group of its own.
    void count(const WpgRecord& record)
    {
        if (!groups_.empty() && --groups_.back().remaining == 0)
            closeGroup();
        if (record.extension > 0 && groups_.size() < kMaxGroupDepth)
            groups_.push_back(
                {record.type, record.extension, record.type == kCompound ? compoundHead_ : Wpg2Object(), {}});
    }

    // A compound polygon is one path, framed and filled by its own head's flags and fill rule; its
    // closed flag closes every part.
    void closeGroup()
    {
        Group group = std::move(groups_.back());
        groups_.pop_back();
        if (group.type != kCompound || group.path.isEmpty())
            return;
        draw(group.object, group.path);
    }

    void attribute(int type, ByteReader& in)
    {
        // Page attributes are not ours to draw with; a compound's are not applied to its parts.
        if (inGroup(v2::kStart) || inGroup(kCompound))
            return;
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
        case kBrushPattern: {
            const int pattern = in.u16le();
            if (in.ok())
                brushStyle_ = wpg2BrushPattern(pattern);
            break;
        }
        default: break; // unknown records are passed by
        }
    }

    QPointF point(ByteReader& in)
    {
        const double x = readWpg2Coordinate(in, precise_);
        return {x, readWpg2Coordinate(in, precise_)};
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

    // Inside a compound polygon the shape joins its path; elsewhere it is drawn on its own.
    void add(const Wpg2Object& object, const QPainterPath& path)
    {
        if (inGroup(kCompound)) {
            Group& compound = groups_.back();
            QPainterPath part = path;
            if (compound.object.closed)
                part.closeSubpath();
            compound.path.addPath((object.matrix * compound.object.matrix * toPicture_).map(part));
            return;
        }
        draw(object, (object.matrix * toPicture_).map(path));
    }

    void draw(const Wpg2Object& object, QPainterPath mapped)
    {
        const QPen pen = object.framed ? wpgPen(penStyle_, penColour_, penWidth_) : QPen(Qt::NoPen);
        const QBrush brush = object.filled ? wpgBrush(brushStyle_, brushColour_) : QBrush(Qt::NoBrush);
        mapped.setFillRule(object.windingRule ? Qt::WindingFill : Qt::OddEvenFill);
        items_.addPath(mapped, pen, brush);
    }

    // Where the characters of the next text data record go.
    void textPlace(int type, ByteReader& in)
    {
        const Wpg2Object object = readWpg2Object(in);
        const QTransform map = object.matrix * toPicture_;
        const double turn = std::atan2(object.matrix.m12(), object.matrix.m11()) * 180 / M_PI;
        Wpg2TextPlace place;
        const bool ok = type == kTextLine ? readWpg2TextLine(in, precise_, map, turn, &place)
                                          : readWpg2TextBox(in, precise_, map, &place);
        pendingText_ = ok ? std::optional(place) : std::nullopt;
    }

    void textData(QByteArrayView body)
    {
        if (!pendingText_)
            return;
        addWpg2Text(*pendingText_, wpg2TextCharacters(body, kMaxWpgTextLength), textHeight_, brushColour_,
                    &items_);
        pendingText_.reset();
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
    Qt::BrushStyle brushStyle_ = Qt::SolidPattern;
    double textHeight_;
    std::optional<Wpg2TextPlace> pendingText_;
    Wpg2Object compoundHead_;
    std::vector<Group> groups_;
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
        return reason(Reason::CoordinatePrecision).arg(precision);
    frame->doublePrecision = precision == 1;
    in.skip(frame->doublePrecision ? 16 : 8); // viewport
    QPointF corner[2];
    for (QPointF& c : corner) {
        const double x = readWpg2Coordinate(in, frame->doublePrecision);
        c = QPointF(x, readWpg2Coordinate(in, frame->doublePrecision));
    }
    if (!in.ok())
        return reason(Reason::Truncated);
    if (frame->unitsPerInchX <= 0 || frame->unitsPerInchY <= 0)
        return reason(Reason::NoUnit);
    frame->extent = QRectF(corner[0], corner[1]).normalized();
    if (frame->extent.isEmpty())
        return reason(Reason::NoSize);
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
    for (int n = 0; n < kMaxWpgRecords && walker.next(&record); ++n) {
        if (record.type == v2::kStart) {
            if (player)
                continue;
            if (QString why = readFrame(record, &frame); !why.isEmpty())
                return WpgPlayResult::failure(why);
            player = std::make_unique<Player>(frame, record.extension);
        } else if (player) {
            player->play(record);
        }
    }
    if (!player)
        return WpgPlayResult::failure(walker.error().isEmpty() ? reason(Reason::NoStartRecord)
                                                               : walker.error());
    const QSizeF pixels(frame.extent.width() / frame.unitsPerInchX * 96,
                        frame.extent.height() / frame.unitsPerInchY * 96);
    WpgPlayResult result;
    WpgItemList& items = player->finish();
    result.hasShapes = items.hasShapes();
    result.picture = std::make_shared<WpgPicture>(frame.extent.size(), pixels, items.take());
    return result;
}

} // namespace mv::imaging::wpg
