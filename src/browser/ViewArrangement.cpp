#include "browser/ViewArrangement.h"

#include <QtGlobal>

#include <cmath>

namespace mv::browser {

namespace {

// The other side of a picture scaled to `side` along the axis where it measures `along`,
// never less than a pixel while there is room for one, so that a thin picture stays visible.
int scaledSide(int side, int along, int across)
{
    const int scaled = int(std::lround(double(side) / along * across));
    return side > 0 ? qMax(1, scaled) : 0;
}

// Best Fit: the fit to the height when the picture is not wider than tall, else to the
// width; the other one when the first overflows the area.
void fitInto(QSize area, QSize picture, ViewArrangement& out)
{
    const int pw = picture.width();
    const int ph = picture.height();
    FitDirection fit = pw > ph ? FitDirection::FitWidth : FitDirection::FitHeight;
    int w = 0;
    int h = 0;
    // One switch of direction always fits; the bound only guards against a rounding surprise.
    for (int pass = 0; pass < 4; ++pass) {
        if (fit == FitDirection::FitHeight) {
            h = area.height();
            w = scaledSide(h, ph, pw);
            if (w <= area.width())
                break;
            fit = FitDirection::FitWidth;
        } else {
            w = area.width();
            h = scaledSide(w, pw, ph);
            if (h <= area.height())
                break;
            fit = FitDirection::FitHeight;
        }
    }
    out.fit = fit;
    out.drawnSize = QSize(qMin(w, area.width()), qMin(h, area.height()));
    out.visibleSize = area;
}

ScrollBarArrangement barFor(int drawn, int visible)
{
    ScrollBarArrangement bar;
    if (drawn <= visible)
        return bar;
    bar.visible = true;
    bar.maximum = drawn - visible;
    bar.pageStep = visible;
    bar.value = bar.maximum / 2;
    return bar;
}

// Zoom: a bar is needed when the picture is larger than what is left of the area once the
// other bar has taken its strip, and a bar appearing can make the other one necessary. Both
// maxima come from the settled visible size, so the last row and column can be reached.
void placeWithBars(QSize area, QSize drawn, int thickness, ViewArrangement& out)
{
    bool needH = false;
    bool needV = false;
    for (;;) {
        const bool h = drawn.width() > area.width() - (needV ? thickness : 0);
        const bool v = drawn.height() > area.height() - (h ? thickness : 0);
        if (h == needH && v == needV)
            break;
        needH = h;
        needV = v;
    }
    out.fit = FitDirection::Zoom;
    out.drawnSize = drawn;
    out.visibleSize = QSize(qMax(0, area.width() - (needV ? thickness : 0)),
                            qMax(0, area.height() - (needH ? thickness : 0)));
    out.horizontal = barFor(drawn.width(), out.visibleSize.width());
    out.vertical = barFor(drawn.height(), out.visibleSize.height());
}

} // namespace

ViewArrangement arrangeView(const ViewArrangementInput& input)
{
    ViewArrangement out;
    const QSize area(qMax(0, input.areaSize.width()), qMax(0, input.areaSize.height()));
    out.visibleSize = area;
    out.fit = input.bestFit ? FitDirection::FitWidth : FitDirection::Zoom;
    if (input.pictureSize.width() <= 0 || input.pictureSize.height() <= 0)
        return out;
    if (input.bestFit) {
        fitInto(area, input.pictureSize, out);
    } else {
        const QSize drawn(qMax(0, input.zoomedSize.width()), qMax(0, input.zoomedSize.height()));
        placeWithBars(area, drawn, qMax(0, input.barThickness), out);
    }
    // Integer division truncates towards zero, so a larger picture sits exactly at minus the
    // bars' starting values.
    out.position = QPoint((out.visibleSize.width() - out.drawnSize.width()) / 2,
                          (out.visibleSize.height() - out.drawnSize.height()) / 2);
    return out;
}

} // namespace mv::browser
