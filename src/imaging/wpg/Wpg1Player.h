// Plays the records of a version 1 WordPerfect graphics file into picture items: fill and line
// attributes, colour maps, lines, polylines, rectangles, polygons, ellipses and arcs (turned by
// their rotation), curves, text with its attributes, and bitmaps at their place (a type 1
// bitmap, which has no place, covers the whole picture). Units are 1/1200 inch, y up.
//
// Fill styles map to Qt hatches as WpgPattern.h says; partial arcs are drawn open, unfilled.
// Records after a damaged one are lost; what came before is kept.
#pragma once

#include "imaging/base/DecodeResult.h"
#include "imaging/wpg/WpgPicture.h"
#include "imaging/wpg/WpgRecords.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace mv::imaging::wpg {

struct [[nodiscard]] WpgPlayResult {
    std::shared_ptr<WpgPicture> picture; // null on failure
    bool hasShapes = false;              // anything but bitmaps was drawn
    fileio::Status status;               // ok on success

    static WpgPlayResult failure(const QString& why) { return {{}, false, decodeFailure(why)}; }
};

WpgPlayResult playWpg1(QByteArrayView data, const WpgHeader& header);

} // namespace mv::imaging::wpg
