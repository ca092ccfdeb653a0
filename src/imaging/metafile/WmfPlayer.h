// Plays the records of an old Windows metafile onto a painter.
#pragma once

#include "imaging/base/ByteReader.h"
#include "imaging/metafile/GdiCanvas.h"
#include "imaging/metafile/MetafileRecords.h"

namespace mv::imaging::metafile {

void playWmf(const MetafileRecords& file, QPainter& painter, const QRectF& target);

class WmfPlayer {
public:
    WmfPlayer(const MetafileRecords& file, QPainter& painter, const QRectF& target);
    void play();

private:
    bool playState(std::uint16_t fn, ByteReader& r);
    bool playMapping(std::uint16_t fn, ByteReader& r);
    bool playObject(std::uint16_t fn, ByteReader& r);
    bool playShape(std::uint16_t fn, ByteReader& r);
    bool playText(std::uint16_t fn, ByteReader& r);
    bool playBitmap(std::uint16_t fn, ByteReader& r, qsizetype recordWords);
    bool playDibToDevice(ByteReader& r);
    void select(std::uint32_t index);
    void createFont(ByteReader& r);
    void createPatternBrush(ByteReader& r);
    bool playRegion(std::uint16_t fn, ByteReader& r);
    const QRegion* region(std::uint16_t index) const;
    const QBrush* brush(std::uint16_t index) const;

    const MetafileRecords& file_;
    GdiCanvas canvas_;
    ObjectTable objects_;
};

// Shared readers: a point stored y first, a rectangle stored bottom, right, top, left.
QPointF readPointYX(ByteReader& r);
QRectF readRectBRTL(ByteReader& r);
// A region object: its scans of rectangles; the bounding rectangle when the scans are damaged.
QRegion readWmfRegion(ByteReader& r);

} // namespace mv::imaging::metafile
