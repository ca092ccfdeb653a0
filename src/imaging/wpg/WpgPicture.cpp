#include "imaging/wpg/WpgPicture.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mv::imaging::wpg {
namespace {

void drawText(QPainter& painter, const WpgItem& item)
{
    // Fonts need a running GUI application; without one (a command-line tool) text is left out.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    painter.save();
    painter.translate(item.at);
    painter.rotate(-item.angle);
    painter.setFont(item.font);
    painter.setPen(item.textColour);
    const double advance = QFontMetricsF(item.font).horizontalAdvance(item.text);
    const double x = item.align == 1 ? -advance / 2 : item.align == 2 ? -advance : 0;
    // Qt's glyph cache judges size by the transform's area: a picture squeezed along one axis
    // passes as small and then renders one enormous glyph, which Qt cannot. Large or stretched
    // text goes through outlines instead.
    const QTransform& m = painter.worldTransform();
    const double stretch = std::max(std::hypot(m.m11(), m.m12()), std::hypot(m.m21(), m.m22()));
    if (stretch * item.font.pixelSize() > 256) {
        QPainterPath outline;
        outline.addText(QPointF(x, 0), item.font, item.text);
        painter.fillPath(outline, item.textColour);
    } else {
        painter.drawText(QPointF(x, 0), item.text);
    }
    painter.restore();
}

// Painter coordinates beyond this are far off any picture and slow to rasterise.
constexpr double kMaxDeviceCoordinate = 1e6;
constexpr double kMaxPenPixels = 1e4;
// Dashes along one shape: beyond this many the line is drawn solid (a hostile file could ask
// for billions).
constexpr double kMaxDashes = 1e5;

double controlLength(const QPainterPath& path, const QTransform& m)
{
    double length = 0;
    for (int i = 1; i < path.elementCount(); ++i)
        length += QLineF(m.map(QPointF(path.elementAt(i - 1))), m.map(QPointF(path.elementAt(i)))).length();
    return length;
}

// The pen as it can be drawn in reasonable time; false when the shape is to be left out.
bool drawablePen(const QPainterPath& path, const QTransform& m, QPen* pen)
{
    const QRectF r = m.mapRect(path.controlPointRect());
    for (const double e : {r.left(), r.right(), r.top(), r.bottom()}) {
        if (!std::isfinite(e) || std::abs(e) > kMaxDeviceCoordinate)
            return false;
    }
    if (pen->style() == Qt::NoPen)
        return true;
    // The widest the pen gets on screen: a picture stretched along one axis widens it there.
    const double scale = std::max(std::hypot(m.m11(), m.m12()), std::hypot(m.m21(), m.m22()));
    const double pixels = pen->widthF() * scale;
    if (scale > 0 && pixels > kMaxPenPixels)
        pen->setWidthF(kMaxPenPixels / scale);
    if (pen->style() != Qt::SolidLine && controlLength(path, m) / std::max(1.0, pixels) > kMaxDashes)
        pen->setStyle(Qt::SolidLine);
    return true;
}

} // namespace

WpgPicture::WpgPicture(QSizeF units, QSizeF pixels, std::vector<WpgItem> items)
    : units_(units), pixels_(pixels), items_(std::move(items))
{
}

void WpgPicture::draw(QPainter& painter, const QRectF& target) const
{
    if (units_.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setBackgroundMode(Qt::TransparentMode); // hatches leave what is beneath them
    painter.translate(target.topLeft());
    painter.scale(target.width() / units_.width(), target.height() / units_.height());
    for (const WpgItem& item : items_) {
        switch (item.kind) {
        case WpgItem::Kind::Path: {
            QPen pen = item.pen;
            if (!drawablePen(item.path, painter.worldTransform(), &pen))
                break;
            painter.setPen(pen);
            painter.setBrush(item.brush);
            painter.drawPath(item.path);
            break;
        }
        case WpgItem::Kind::Text: drawText(painter, item); break;
        case WpgItem::Kind::Image: painter.drawImage(item.rect, item.image); break;
        }
    }
    painter.restore();
}

} // namespace mv::imaging::wpg
