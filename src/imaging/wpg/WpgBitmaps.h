// Finds the bitmaps of a WPG file with the colours in force where each one stands: version 1
// colour map records (0x0E) and bitmap records of type 1 (0x0B) and 2 (0x14); version 2 colour
// palettes (0x0C) and bitmap data records (0x0E).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>
#include <QList>
#include <QRgb>
#include <QString>

#include <array>
#include <bitset>

namespace mv::imaging::wpg {

struct WpgColours {
    std::array<QRgb, 256> colour {};
    std::bitset<256> stored; // entries that a colour record set
};

struct WpgBitmap {
    int version = 1;
    int width = 0;
    int height = 0;
    int depth = 0;       // bits per pixel: 1, 2, 4, 8 or 24
    int compression = 1; // version 2: 0 none, 1 run-length; version 1 is always run-length
    QByteArrayView data;
    WpgColours colours;
};

struct WpgRecord;

// Colour records: start index, count, then 3 (version 1) or 4 (version 2) bytes a colour.
void applyWpgColours(QByteArrayView body, int bytesPerColour, WpgColours* colours);
bool isWpgColourRecord(const WpgRecord& record, int version);
bool isWpgBitmapRecord(const WpgRecord& record, int version);
// Reads the header of a bitmap record; the reason when it is not one we can show.
QString readWpgBitmap(const WpgRecord& record, int version, WpgBitmap* bitmap);

// The pixels of one bitmap record, as found by the record walker, with its colours.
DecodeResult decodeWpgBitmap(const WpgBitmap& bitmap);

// The largest bitmap of the file (the first of equal ones); the reason when there is none.
QString findLargestWpgBitmap(QByteArrayView data, WpgBitmap* bitmap);

} // namespace mv::imaging::wpg
