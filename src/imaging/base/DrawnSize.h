// Where the image control draws a picture, as arithmetic without a widget, so that the viewing
// pipeline's worker can make the reduced copy for exactly the size the control will draw.
#pragma once

#include <QSize>
#include <QSizeF>

namespace mv::imaging {

// The image control's fit modes, with the values its callers store.
enum class DrawFit {
    Zoom = 1,   // at a zoom factor; the control sizes itself to the zoomed picture
    Width = 2,  // scaled to the control's width
    Height = 3, // scaled to the control's height
};

// The size in logical pixels at which a picture of `picture` pixels is drawn in a control of
// `control` logical pixels on a screen of device pixel ratio dpr. At a zoom, 1 is one picture
// pixel per device pixel: picture * zoom / dpr. Fitted, the aspect is kept and the other side
// may be smaller or larger than the control. Empty when the picture is.
QSizeF drawnSize(QSize picture, DrawFit fit, double zoom, QSize control, qreal dpr);

// The control's own size at a zoom, in whole logical pixels.
QSize zoomedControlSize(QSize picture, double zoom, qreal dpr);

} // namespace mv::imaging
