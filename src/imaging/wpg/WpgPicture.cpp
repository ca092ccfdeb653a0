#include "imaging/wpg/WpgPicture.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mv::imaging {
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
        case WpgItem::Kind::Path:
            painter.setPen(item.pen);
            painter.setBrush(item.brush);
            painter.drawPath(item.path);
            break;
        case WpgItem::Kind::Text:
            drawText(painter, item);
            break;
        case WpgItem::Kind::Image:
            painter.drawImage(item.rect, item.image);
            break;
        }
    }
    painter.restore();
}

} // namespace mv::imaging
