// Draws metafile primitives onto a QPainter the way the old drawing interface did: logical
// units through the world and page transforms onto the picture's frame, which is scaled into
// the target rectangle. Both metafile players draw through it. Shapes that would land far
// outside the target (hostile coordinates) are skipped so that the painter never stalls.
#pragma once

#include "imaging/metafile/DcState.h"
#include "imaging/metafile/GdiRasterOps.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>

#include <optional>
#include <vector>

namespace mv::imaging::metafile {

enum class ArcKind {
    Arc,
    Chord,
    Pie
};

struct CanvasSetup {
    QRectF frame; // the picture's frame, device units
    double pxPerMm = 96 / 25.4;
    bool oldMetafile = false; // the window maps onto the frame
};

class GdiCanvas {
public:
    static constexpr int kMaxSaveDepth = 64;

    GdiCanvas(QPainter& painter, const QRectF& target, const CanvasSetup& setup);
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    DcState& state() { return state_; }
    // Call after any change to the mapping or the world transform.
    void mappingChanged();
    void saveDc();
    void restoreDc(int which); // negative: relative; positive: absolute level

    void polyline(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyPolyline(const std::vector<QPolygonF>& polylines);
    void bezier(const QPolygonF& points, bool fromCurrent);
    void lineTo(QPointF to);
    void rectangle(const QRectF& r);
    void roundRect(const QRectF& r, QSizeF corner);
    void ellipse(const QRectF& r);
    void arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end, bool moveCurrent = false);
    void fillRect(const QRectF& r, const QBrush& brush, const RasterOp& op = {});
    // A blit: the brush, the source picture or neither, combined by op.
    void blit(const QRectF& dest, const QImage* img, const QRectF& source, const RasterOp& op);
    // source (picture pixels) drawn onto the parallelogram sourceToLogical maps it to; only
    // within sourceMask (in picture pixels) when one is given.
    void imageMapped(const QTransform& sourceToLogical, const QImage& img, const QRectF& source,
                     const RasterOp& op = {}, const QRegion* sourceMask = nullptr);
    void image(const QRectF& dest, const QImage& img, const QRectF& source, const RasterOp& op = {});
    // The picture drawn over what is there at the given opacity (0 to 1).
    void blend(const QRectF& dest, const QImage& img, const QRectF& source, double opacity);
    // A line from the current position to the arc's start, then the arc (angles in degrees).
    void angleArc(QPointF centre, double radius, double startAngle, double sweepAngle);
    // Points with their kinds (move, line, Bezier, closing flag), from the current position.
    void polyDraw(const QPolygonF& points, const std::vector<std::uint8_t>& kinds);
    // A region (rectangles in logical units) filled with a brush, framed, or inverted.
    void fillRegion(const QRegion& region, const QBrush& brush);
    void frameRegion(const QRegion& region, const QBrush& brush, QSize stroke);
    void invertRegion(const QRegion& region);
    // How a region combines with the clip, as the old interface numbered them.
    enum class Combine {
        And = 1,
        Or = 2,
        Xor = 3,
        Diff = 4,
        Copy = 5
    };
    // deviceUnits: the rectangles are in the reference device's pixels, not logical units.
    void clipToRegion(const QRegion& region, Combine how, bool deviceUnits);
    void text(QPointF ref, const QString& text, const QRectF* opaqueRect, bool clipToRect);

    // Clipping, in logical units.
    void intersectClip(const QRectF& r);
    void excludeClip(const QRectF& r);
    void resetClip();

    // Path brackets: between begin and end, shapes go into the path instead of the picture.
    void beginPath();
    void endPath() { inPath_ = false; }
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void clipToPath();

private:
    void drawPath(const QPainterPath& path, bool fill, bool stroke);
    bool sane(const QRectF& logicalBounds) const;
    // Painter transform, pen and brush for a shape; false when it is to be skipped.
    bool prepare(const QRectF& logicalBounds, bool fill);
    void applyPen(bool deviceSpace);
    // The region mapped onto the painter, as a path in painter coordinates.
    // nullopt when the mapping is absurd; an empty path when none of the region shows.
    std::optional<QPainterPath> regionPath(const QRegion& region, const QTransform& toPainter) const;
    void fillPainterPath(const std::optional<QPainterPath>& path, const QBrush& brush, const RasterOp& op);

    QPainter& painter_;
    QTransform outer_;
    QTransform frameToTarget_;
    QTransform full_;     // logical to painter
    QTransform geometry_; // what prepare() left for the caller to map
    QRectF target_;
    QRectF baseClip_; // in the caller's coordinates
    CanvasSetup setup_;
    DcState state_;
    std::vector<DcState> saved_;
    QPainterPath path_;
    bool inPath_ = false;
};

} // namespace mv::imaging::metafile
