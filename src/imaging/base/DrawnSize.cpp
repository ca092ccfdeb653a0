#include "imaging/base/DrawnSize.h"

namespace mv::imaging {

namespace {

qreal usableRatio(qreal dpr)
{
    return dpr > 0 ? dpr : 1.0;
}

} // namespace

QSizeF drawnSize(QSize picture, DrawFit fit, double zoom, QSize control, qreal dpr)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    double scale = zoom / usableRatio(dpr);
    if (fit == DrawFit::Width)
        scale = double(control.width()) / picture.width();
    else if (fit == DrawFit::Height)
        scale = double(control.height()) / picture.height();
    return {picture.width() * scale, picture.height() * scale};
}

QSize zoomedControlSize(QSize picture, double zoom, qreal dpr)
{
    const QSizeF drawn = drawnSize(picture, DrawFit::Zoom, zoom, {}, dpr);
    return {qRound(drawn.width()), qRound(drawn.height())};
}

} // namespace mv::imaging
