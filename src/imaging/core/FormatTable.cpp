#include "imaging/core/FormatTable.h"

#include "imaging/core/HeaderDepth.h"
#include "imaging/core/JpegDecoder.h"
#include "imaging/core/QtDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"

// Our own decoders, one include each.
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
#include "imaging/retro/WpgDecoder.h"
#include "imaging/wpg/WpgVectorDecoder.h"

#include <array>

namespace mv::imaging {

namespace {

bool startsWith(QByteArrayView data, QByteArrayView magic)
{
    return data.size() >= magic.size() && data.first(magic.size()) == magic;
}

bool looksLikePng(QByteArrayView d) { return startsWith(d, "\x89PNG\r\n\x1a\n"); }
bool looksLikeGif(QByteArrayView d) { return startsWith(d, "GIF87a") || startsWith(d, "GIF89a"); }
bool looksLikeTiff(QByteArrayView d)
{
    return startsWith(d, QByteArrayView("II*\0", 4)) || startsWith(d, QByteArrayView("MM\0*", 4));
}
bool looksLikeBmp(QByteArrayView d) { return startsWith(d, "BM") && d.size() >= 26; }

bool looksLikeWmf(QByteArrayView d)
{
    if (startsWith(d, "\xD7\xCD\xC6\x9A")) // placeable header
        return true;
    // A plain metafile header: type 1 or 2, header size 9 words, version 1 or 3.
    return d.size() >= 18 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0
        && d[4] == 0 && (d[5] == 1 || d[5] == 3);
}
bool looksLikeEmf(QByteArrayView d)
{
    return d.size() >= 44 && startsWith(d, QByteArrayView("\1\0\0\0", 4)) && d.sliced(40, 4) == " EMF";
}

Picture decodeJpegType(const DecodeRequest& r) { return decodeJpeg(r.data, r.options); }

template <const char* Format, int (*StoredDepth)(QByteArrayView)>
Picture decodeQt(const DecodeRequest& r)
{
    Picture p = Picture::fromResult(decodeWithQt(r.data, Format));
    if (p.ok()) {
        if (const int stored = StoredDepth(r.data); stored > 0)
            p.colorDepth = stored;
    }
    return p;
}

template <const char* Format, int (*StoredDepth)(QByteArrayView)>
PictureInfo probeQt(QByteArrayView data)
{
    PictureInfo info;
    const QSize size = sizeWithQt(data, Format, &info.error);
    info.width = size.width();
    info.height = size.height();
    info.colorDepth = StoredDepth(data);
    return info;
}

// Adapts a raster decoder of our own: decodeX(data) or decodeX(data, palette).
template <DecodeResult (*Decode)(QByteArrayView)>
Picture plain(const DecodeRequest& r) { return Picture::fromResult(Decode(r.data)); }
template <DecodeResult (*Decode)(QByteArrayView, QByteArrayView)>
Picture withPalette(const DecodeRequest& r) { return Picture::fromResult(Decode(r.data, r.palette)); }

constexpr char kPng[] = "png";
constexpr char kGif[] = "gif";
constexpr char kTiff[] = "tiff";
constexpr char kBmp[] = "bmp";

// Content tests run in this order; types without a magic come last.
const auto kTypes = std::to_array<PictureType>({
    {"PNG", "png", looksLikePng, decodeQt<kPng, pngStoredDepth>, probeQt<kPng, pngStoredDepth>},
    {"GIF", "gif", looksLikeGif, decodeQt<kGif, gifStoredDepth>, probeQt<kGif, gifStoredDepth>},
    {"JPEG", "jpg;jpe;jpeg", looksLikeJpeg, decodeJpegType, probeJpeg},
    {"TIFF", "tif;tiff", looksLikeTiff, decodeQt<kTiff, tiffStoredDepth>, probeQt<kTiff, tiffStoredDepth>},
    // Also a .dib or .rle that carries a file header: Qt's reader is forced by content.
    {"BMP", "bmp;rle", looksLikeBmp, decodeQt<kBmp, bmpStoredDepth>, probeQt<kBmp, bmpStoredDepth>},
    {"WMF", "wmf", looksLikeWmf, decodeWmf, nullptr},
    {"EMF", "emf", looksLikeEmf, decodeEmf, nullptr},
    // Our own decoders, strongest magic first; those without one only claim by extension.
    {"IFF", "iff;lbm", looksLikeIff, plain<decodeIff>, nullptr},
    {"WPG", "wpg", looksLikeWpg, [](const DecodeRequest& r) { return decodeWpgPicture(r.data); }, nullptr},
    {"RAS", "ras", looksLikeSunRaster, plain<decodeSunRaster>, nullptr},
    {"MSP", "msp", looksLikeMsp, plain<decodeMsp>, nullptr},
    {"PIC", "pic", looksLikePic, plain<decodePic>, nullptr},
    {"MAC", "mac", looksLikeMacPaint, plain<decodeMacPaint>, nullptr, true},
    {"PCX", "pcx", looksLikePcx, plain<decodePcx>, nullptr, true},
    {"IMG", "img;gem", looksLikeGemImg, plain<decodeGemImg>, nullptr, true},
    {"DIB", "dib", looksLikeDib, plain<decodeDib>, nullptr, true},
    {"TGA", "tga", looksLikeTarga, plain<decodeTarga>, nullptr, true},
    {"HRZ", "hrz", looksLikeHrz, plain<decodeHrz>, nullptr, true},
    {"CUT", "cut", looksLikeCut, withPalette<decodeCut>, nullptr, true},
    {"ART", "art", looksLikeArt, plain<decodeArt>, nullptr, true},
});

} // namespace

std::span<const PictureType> pictureTypes()
{
    return kTypes;
}

const PictureType* typeByContent(QByteArrayView data)
{
    for (const PictureType& type : kTypes) {
        if (type.looksLike && type.looksLike(data))
            return &type;
    }
    return nullptr;
}

const PictureType* typeByExtension(const QString& extension)
{
    const QByteArray ext = extension.toLower().toLatin1();
    if (ext.isEmpty())
        return nullptr;
    for (const PictureType& type : kTypes) {
        const QList<QByteArray> names = QByteArray(type.extensions).split(';');
        if (names.contains(ext))
            return &type;
    }
    return nullptr;
}

} // namespace mv::imaging
