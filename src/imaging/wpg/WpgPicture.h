// A WordPerfect graphics picture as a list of drawing items kept from its records, drawn onto
// any painter at any size. Item coordinates are in the file's units with y pointing down.
#pragma once

#include "imaging/base/VectorDrawing.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <vector>

namespace mv::imaging::wpg {

struct WpgItem {
    enum class Kind {
        Path,
        Text,
        Image
    };
    Kind kind = Kind::Path;
    // Path: stroked with pen, filled with brush.
    QPainterPath path;
    QPen pen;
    QBrush brush;
    // Text: drawn with its baseline starting at `at` (after alignment), turned by angle degrees.
    QString text;
    QFont font;
    QColor textColour;
    QPointF at;
    double angle = 0;
    int align = 0; // 0 left, 1 centre, 2 right
    // Image: stretched over rect.
    QImage image;
    QRectF rect;
};

class WpgPicture final : public VectorDrawing {
public:
    // units: the picture's extent in file units; pixels: its natural size at 96 dpi.
    WpgPicture(QSizeF units, QSizeF pixels, std::vector<WpgItem> items);

    [[nodiscard]] QSizeF naturalSize() const override { return pixels_; }
    void draw(QPainter& painter, const QRectF& target) const override;
    [[nodiscard]] const std::vector<WpgItem>& items() const { return items_; }

private:
    QSizeF units_;
    QSizeF pixels_;
    std::vector<WpgItem> items_;
};

} // namespace mv::imaging::wpg
