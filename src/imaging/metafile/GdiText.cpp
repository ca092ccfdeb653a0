// Text output of GdiCanvas: placed in painter coordinates so that a mirrored page (y up)
// never mirrors the letters.
#include "imaging/metafile/GdiCanvas.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace mv::imaging::metafile {

namespace {

constexpr double kMaxFontPixels = 4000;
constexpr int kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24, kTaUpdateCp = 1;

QFont qtFont(const GdiFont& f, double pixels)
{
    QFont font;
    if (!f.face.isEmpty())
        font.setFamily(f.face);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

} // namespace

void GdiCanvas::text(QPointF ref, const QString& text, const QRectF* opaqueRect, bool clipToRect)
{
    // Fonts need the GUI application; a command-line caller without one gets no text.
    if (inPath_ || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (opaqueRect && sane(*opaqueRect)) {
        painter_.setTransform(full_);
        painter_.fillRect(opaqueRect->normalized(), state_.bkColor);
    }
    const bool updateCp = state_.textAlign & kTaUpdateCp;
    const QPointF logical = updateCp ? state_.current : ref;
    if (text.isEmpty() || !sane(QRectF(logical, QSizeF(1, 1))))
        return;
    const double yScale = std::hypot(full_.m21(), full_.m22());
    const double pixels = state_.font.height * yScale;
    if (pixels < 0.5 || !std::isfinite(pixels))
        return;
    const QFont font = qtFont(state_.font, std::min(pixels, kMaxFontPixels));
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    QPointF offset;
    const std::uint32_t h = state_.textAlign & kTaCenter;
    offset.rx() = h == kTaCenter ? -width / 2 : h == kTaRight ? -width : 0;
    const std::uint32_t v = state_.textAlign & kTaBaseline;
    offset.ry() = v == kTaBaseline ? 0 : v == kTaBottom ? -metrics.descent() : metrics.ascent();

    painter_.save();
    if (clipToRect && opaqueRect && sane(*opaqueRect)) {
        painter_.setTransform(full_);
        painter_.setClipRect(opaqueRect->normalized(), Qt::IntersectClip);
    }
    const double turn = std::atan2(full_.m12(), full_.m11()) * 180 / M_PI - state_.font.escapement;
    const QPointF at = full_.map(logical); // device coordinates
    painter_.setTransform(QTransform().rotate(turn) * QTransform::fromTranslate(at.x(), at.y()));
    const QRectF box(offset.x(), offset.y() - metrics.ascent(), width, metrics.height());
    if (state_.opaqueBackground)
        painter_.fillRect(box, state_.bkColor);
    painter_.setFont(font);
    painter_.setPen(state_.textColor);
    painter_.drawText(offset, text);
    painter_.restore();
    if (updateCp) {
        const double xScale = std::hypot(full_.m11(), full_.m12());
        if (xScale > 0)
            state_.current.rx() += width / xScale;
    }
}

} // namespace mv::imaging::metafile
