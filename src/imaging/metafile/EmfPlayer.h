// Plays the records of an enhanced metafile onto a painter.
#pragma once

#include "imaging/base/ByteReader.h"
#include "imaging/metafile/GdiCanvas.h"
#include "imaging/metafile/MetafileRecords.h"

#include <optional>

namespace mv::imaging::metafile {

void playEmf(const MetafileRecords& file, QPainter& painter, const QRectF& target);

class EmfPlayer {
public:
    EmfPlayer(const MetafileRecords& file, QPainter& painter, const QRectF& target);
    void play();

private:
    bool playState(std::uint32_t type, ByteReader& r);
    bool playMapping(std::uint32_t type, ByteReader& r);
    bool playTransform(std::uint32_t type, ByteReader& r);
    bool playObject(std::uint32_t type, ByteReader& r, QByteArrayView record);
    bool playShape(std::uint32_t type, ByteReader& r);
    bool playPoly(std::uint32_t type, ByteReader& r);
    bool playPath(std::uint32_t type, ByteReader& r);
    bool playText(std::uint32_t type, ByteReader& r, QByteArrayView record);
    bool playBitmap(std::uint32_t type, ByteReader& r, QByteArrayView record);
    bool playRegion(std::uint32_t type, ByteReader& r);
    bool playMaskedBitmap(std::uint32_t type, ByteReader& r, QByteArrayView record);
    // A table entry or stock object; nullopt when there is none.
    std::optional<GdiObject> object(std::uint32_t index) const;
    void select(std::uint32_t index);
    void createFont(ByteReader& r);
    void selectClipRegion(ByteReader& r);

    const MetafileRecords& file_;
    GdiCanvas canvas_;
    ObjectTable objects_;
};

// Shared readers.
QRectF readRectL(ByteReader& r);
QPointF readPointL(ByteReader& r);
// RGNDATA of size bytes: its rectangles (an empty region when damaged).
QRegion readRegionData(ByteReader& r, std::uint32_t size);
// The bytes at offset..offset+size of a record; empty when they do not lie inside it.
QByteArrayView recordPart(QByteArrayView record, std::uint32_t offset, std::uint32_t size);

} // namespace mv::imaging::metafile
