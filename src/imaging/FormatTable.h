// The table of picture types: how each is recognised by content, which extensions it goes by,
// and which decoder reads it. Adding a decoder is one line in FormatTable.cpp.
#pragma once

#include "imaging/base/DecodeRequest.h"
#include "imaging/base/DecodeResult.h"
#include "imaging/base/Picture.h"

#include <QByteArrayView>
#include <QString>

#include <span>

namespace mv::imaging {

struct PictureType {
    const char* name;                       // "JPEG", "PNG", ...
    const char* extensions;                 // lower-case, ';'-separated, no dot: "jpg;jpe;jpeg"
    bool (*looksLike)(QByteArrayView data); // strict content test; nullptr: by extension only
    DecodeResult (*decode)(const DecodeRequest& request);
    PictureInfo (*probe)(QByteArrayView data); // header only; nullptr: decode to find out
    bool weakMagic = false; // its content test is a plausibility check: the name may overrule it
};

std::span<const PictureType> pictureTypes();

// First type whose content test accepts the data, or nullptr.
const PictureType* typeByContent(QByteArrayView data);
// The type an extension (without dot, any case) belongs to, or nullptr.
const PictureType* typeByExtension(const QString& extension);

} // namespace mv::imaging
