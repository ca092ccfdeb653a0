// Plays the records of a version 2 WordPerfect graphics file into picture items: polylines
// (and polysplines, drawn as polylines), polycurves, rectangles (rounded), arcs and ellipses,
// each through its own transform; pen fore colour, pen size, pen style, brush fore colour
// (a gradient takes its first colour), brush pattern (1 is hollow, others solid); colour
// palettes for the bitmaps, which land on the rectangle of the bitmap record before them.
// Text records are not drawn. Page attributes (records inside the start record) are ignored.
#pragma once

#include "imaging/wpg/Wpg1Player.h"

namespace mv::imaging {

WpgPlayResult playWpg2(QByteArrayView data, const WpgHeader& header);

} // namespace mv::imaging
