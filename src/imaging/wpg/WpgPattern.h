// Fill patterns of both versions as Qt brush styles. The hatches are drawn in the brush colour
// over what lies beneath (no background colour), at Qt's fixed spacing on screen.
//
// Version 1 fill styles: 0 hollow, 1 solid; 2-4 lines rising at 45 degrees (fine, medium,
// coarse), 5-7 lines falling at 45 degrees, 8-10 diagonal cross-hatch, 11-17 dots from least
// (11) to most dense (17), 18 horizontal lines, 19 vertical lines, 20 square cross-hatch; other
// styles draw solid. The spacing of fine, medium and coarse is not kept.
// Version 2 brush patterns: 0 solid, 1 hollow, 2 and up as the version 1 styles of the same
// number.
#pragma once

#include <QBrush>
#include <QColor>

namespace mv::imaging::wpg {

Qt::BrushStyle wpg1FillStyle(int style);
Qt::BrushStyle wpg2BrushPattern(int pattern);

// A brush of that style in that colour (hollow gives Qt::NoBrush whatever the colour).
QBrush wpgBrush(Qt::BrushStyle style, const QColor& colour);

} // namespace mv::imaging::wpg
