// A picture made of drawing commands (a metafile) rather than pixels: it has a natural size
// but can be drawn sharply at any size.
#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace mv::imaging {

class VectorDrawing {
public:
    virtual ~VectorDrawing() = default;
    [[nodiscard]] virtual QSizeF naturalSize() const = 0;
    // Draws the whole drawing scaled into target; must not keep the painter.
    virtual void draw(QPainter& painter, const QRectF& target) const = 0;
};

} // namespace mv::imaging
