// Plays the records of a version 2 WordPerfect graphics file into picture items: polylines
// (and polysplines, drawn as polylines), polycurves, rectangles (rounded), arcs and ellipses,
// each through its own transform; pen fore colour, pen size, pen style, brush fore colour
// (a gradient takes its first colour), brush pattern (as WpgPattern.h says); colour palettes for
// the bitmaps, which land on the rectangle of the bitmap record before them; text lines, blocks
// and paths with the text data record after them (see Wpg2Text.h).
//
// A record's extension counts the records after it that are its children. The shapes inside a
// compound polygon join one path drawn with the compound's own flags and fill rule (its closed
// flag closes each part; the pen and brush records inside it are not applied); a compound still
// open when the records run out is drawn then.
// Page attributes (records inside the start record) are ignored.
#pragma once

#include "imaging/wpg/Wpg1Player.h"

namespace mv::imaging::wpg {

WpgPlayResult playWpg2(QByteArrayView data, const WpgHeader& header);

} // namespace mv::imaging::wpg
