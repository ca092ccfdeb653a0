// Record types of enhanced metafiles.
#pragma once

#include <cstdint>

namespace mv::imaging::metafile {

enum EmfType : std::uint32_t {
    EmrHeader = 1, EmrPolyBezier = 2, EmrPolygon = 3, EmrPolyline = 4, EmrPolyBezierTo = 5,
    EmrPolylineTo = 6, EmrPolyPolyline = 7, EmrPolyPolygon = 8, EmrSetWindowExtEx = 9,
    EmrSetWindowOrgEx = 10, EmrSetViewportExtEx = 11, EmrSetViewportOrgEx = 12, EmrEof = 14,
    EmrSetMapMode = 17, EmrSetBkMode = 18, EmrSetPolyFillMode = 19, EmrSetRop2 = 20,
    EmrSetTextAlign = 22, EmrSetTextColor = 24, EmrSetBkColor = 25, EmrMoveToEx = 27,
    EmrExcludeClipRect = 29, EmrIntersectClipRect = 30, EmrScaleViewportExtEx = 31,
    EmrScaleWindowExtEx = 32, EmrSaveDc = 33, EmrRestoreDc = 34, EmrSetWorldTransform = 35,
    EmrModifyWorldTransform = 36, EmrSelectObject = 37, EmrCreatePen = 38, EmrCreateBrushIndirect = 39,
    EmrDeleteObject = 40, EmrAngleArc = 41, EmrEllipse = 42, EmrRectangle = 43, EmrRoundRect = 44, EmrArc = 45,
    EmrChord = 46, EmrPie = 47, EmrSelectPalette = 48, EmrCreatePalette = 49, EmrLineTo = 54, EmrArcTo = 55, EmrPolyDraw = 56, EmrSetArcDirection = 57,
    EmrBeginPath = 59, EmrEndPath = 60, EmrCloseFigure = 61, EmrFillPath = 62,
    EmrStrokeAndFillPath = 63, EmrStrokePath = 64, EmrSelectClipPath = 67, EmrAbortPath = 68,
    EmrFillRgn = 71, EmrFrameRgn = 72, EmrInvertRgn = 73, EmrPaintRgn = 74,
    EmrExtSelectClipRgn = 75, EmrBitBlt = 76, EmrStretchBlt = 77, EmrMaskBlt = 78, EmrPlgBlt = 79, EmrSetDiBitsToDevice = 80,
    EmrStretchDiBits = 81, EmrExtCreateFontIndirectW = 82, EmrExtTextOutA = 83, EmrExtTextOutW = 84,
    EmrPolyBezier16 = 85, EmrPolygon16 = 86, EmrPolyline16 = 87, EmrPolyBezierTo16 = 88,
    EmrPolylineTo16 = 89, EmrPolyPolyline16 = 90, EmrPolyPolygon16 = 91, EmrPolyDraw16 = 92, EmrCreateMonoBrush = 93,
    EmrCreateDibPatternBrushPt = 94, EmrExtCreatePen = 95, EmrAlphaBlend = 114, EmrTransparentBlt = 116,
};

} // namespace mv::imaging::metafile
