// The drawing state of a metafile's device context: what SaveDC saves and RestoreDC brings
// back (the clip is kept by the painter's own save and restore).
#pragma once

#include "imaging/metafile/GdiObjects.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace mv::imaging::metafile {

enum MapMode {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};

struct DcState {
    GdiPen pen = makePen(0, 0, Qt::black);
    GdiBrush brush = makeBrush(0, Qt::white, 0);
    GdiFont font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    std::uint32_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rop2 = 13;             // copy the pen
    bool arcClockwise = false; // arcs run counter-clockwise unless set otherwise

    int mapMode = MmText;
    QPointF windowOrg;
    QSizeF windowExt {1, 1};
    QPointF viewportOrg;
    QSizeF viewportExt {1, 1};
    bool windowExtSet = false; // old metafiles: the window then maps onto the picture's frame
    bool viewportExtSet = false;
    bool viewportOrgSet = false;

    std::vector<QRgb> palette = defaultPalette();

    QTransform world;
    QPointF current; // the current position, logical units
};

// SetWindowExt / SetViewportExt; an extent we cannot divide by is ignored.
void setExtent(DcState& s, bool window, QPointF extent);
// ScaleWindowExt / ScaleViewportExt.
void scaleExtent(DcState& s, bool window, double xNum, double xDen, double yNum, double yDen);
// SelectObject of a pen, brush, font or palette (regions select the clip instead).
void selectObject(DcState& s, const GdiObject& o);

// The transform that maps one rectangle onto another (an empty one maps at scale 1).
QTransform rectToRect(const QRectF& from, const QRectF& to);

// The fixed-scale modes (LOMETRIC to TWIPS): y grows upwards, extents do not count.
bool isMetricMode(int mapMode);
// Millimetres per logical unit in a fixed-scale mode; 0 for the others.
double metricUnitMm(int mapMode);
// An old metafile's fixed-scale logical units onto its frame (same units, y turned over).
QTransform oldMetricTransform(QPointF windowOrg, QPointF viewportOrg);

// An extent we can divide by: not zero, not absurd.
bool usableExtent(double cx, double cy);

// Logical units to device units. Enhanced metafiles: the device is the reference device
// (pxPerMm its pixels per millimetre). Old metafiles (frame set): the window maps onto the frame.
QTransform pageTransform(const DcState& s, double pxPerMm, const QRectF* wmfFrame);

} // namespace mv::imaging::metafile
