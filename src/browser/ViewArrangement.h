// Where the picture on show goes in the picture area: the size it is drawn at, which scroll
// bars it needs with their ranges, and where it sits. Pure arithmetic, so the widget only
// applies the answer and the rules can be tested without a screen.
#pragma once

#include <QPoint>
#include <QSize>

namespace mv::browser {

// The image control's FitMode numbers: drawn at the zoom factor, or scaled to its width or
// to its height.
enum class FitDirection {
    Zoom = 1,
    FitWidth = 2,
    FitHeight = 3
};

struct ViewArrangementInput {
    QSize pictureSize;    // the picture's own size in pixels
    bool bestFit = false; // fit into the area, else draw at zoomedSize
    QSize zoomedSize;     // what the control measures at its zoom factor
    QSize areaSize;       // the frame's inner size including the strips the bars take
    int barThickness = 0; // pixels a visible bar takes from the area
};

struct ScrollBarArrangement {
    bool visible = false;
    int maximum = 0;  // picture size minus visible size, so the far edge can be reached
    int pageStep = 0; // the visible size
    int value = 0;    // half the maximum: the picture starts centred
};

struct ViewArrangement {
    FitDirection fit = FitDirection::Zoom;
    QSize drawnSize {0, 0}; // W x H of the control
    QSize visibleSize;      // the frame's inner size once the bars have taken their strips
    QPoint position;        // the control's corner in the frame; negative where it is larger
    ScrollBarArrangement horizontal;
    ScrollBarArrangement vertical;
};

[[nodiscard]] ViewArrangement arrangeView(const ViewArrangementInput& input);

} // namespace mv::browser
