// Every decoder of our own with its sniffer, by the name of its fuzz target and seed folder
// (corpus/<name>). A CUT picture's decoder, which also takes the palette file beside it, is
// called here without one.
#pragma once

#include "imaging/metafile/MetafileDecoder.h"
#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"
#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/wpg/WpgDecoder.h"

#include <QString>

#include <map>

namespace mv::imaging::test {

struct Decoder {
    DecodeResult (*decode)(QByteArrayView);
    bool (*looksLike)(QByteArrayView);
};

inline const std::map<QString, Decoder>& decoders()
{
    static const std::map<QString, Decoder> d = {
        {"art", {decodeArt, looksLikeArt}},
        {"cut", {[](QByteArrayView data) { return decodeCut(data, {}); }, looksLikeCut}},
        {"dib", {decodeDib, looksLikeDib}},
        {"gemimg", {decodeGemImg, looksLikeGemImg}},
        {"hrz", {decodeHrz, looksLikeHrz}},
        {"iff", {decodeIff, looksLikeIff}},
        {"macpaint", {decodeMacPaint, looksLikeMacPaint}},
        {"msp", {decodeMsp, looksLikeMsp}},
        {"pcx", {decodePcx, looksLikePcx}},
        {"pic", {decodePic, looksLikePic}},
        {"sunraster", {decodeSunRaster, looksLikeSunRaster}},
        {"targa", {decodeTarga, looksLikeTarga}},
        {"wpg", {decodeWpg, looksLikeWpg}},
        {"wpgvector", {decodeWpgPicture, looksLikeWpg}},
        {"wmf", {decodeWmfData, looksLikeWmf}},
        {"emf", {decodeEmfData, looksLikeEmf}},
    };
    return d;
}

} // namespace mv::imaging::test
