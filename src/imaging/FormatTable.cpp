#include "imaging/FormatTable.h"

// Every decoder family, one include each of its decoders.
#include "imaging/jpeg/JpegDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"
#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"
#include "imaging/qt/BmpChannels.h"
#include "imaging/qt/HeaderDepth.h"
#include "imaging/qt/QtDecoder.h"
#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/wpg/WpgDecoder.h"

#include <array>

namespace mv::imaging {

namespace {

constexpr char kBmp[] = "bmp";

DecodeResult decodeJpegType(const DecodeRequest& r)
{
    return decodeJpeg(r.data, r.options);
}

template <const char* Format, int (*StoredDepth)(QByteArrayView), bool Animated = false>
DecodeResult decodeQt(const DecodeRequest& r)
{
    DecodeResult p = decodeWithQt(r.data, Format, Animated && !r.options.firstFrameOnly);
    if (p.ok()) {
        if (const int stored = StoredDepth(r.data); stored > 0)
            p.colorDepth = stored;
    }
    return p;
}

DecodeResult decodeBmp(const DecodeRequest& r)
{
    if (isRleBmp(r.data))
        return decodeRleBmp(r.data);
    DecodeResult p = decodeQt<kBmp, bmpStoredDepth>(r);
    if (p.ok())
        widenBmpChannels(r.data, p.image);
    return p;
}

template <const char* Format, int (*StoredDepth)(QByteArrayView)>
PictureInfo probeQt(QByteArrayView data)
{
    PictureInfo info = probeWithQt(data, Format);
    info.colorDepth = StoredDepth(data);
    return info;
}

// Adapts a decoder of bytes: decodeX(data) or decodeX(data, palette).
template <DecodeResult (*Decode)(QByteArrayView)>
DecodeResult plain(const DecodeRequest& r)
{
    return Decode(r.data);
}
template <DecodeResult (*Decode)(QByteArrayView, QByteArrayView)>
DecodeResult withPalette(const DecodeRequest& r)
{
    return Decode(r.data, r.palette);
}

constexpr char kPng[] = "png";
constexpr char kGif[] = "gif";
constexpr char kTiff[] = "tiff";

// Content tests run in this order; types without a magic come last.
const auto kTypes = std::to_array<PictureType>({
    {"PNG", "png", looksLikePng, decodeQt<kPng, pngStoredDepth>, probeQt<kPng, pngStoredDepth>},
    {"GIF", "gif", looksLikeGif, decodeQt<kGif, gifStoredDepth, true>, probeQt<kGif, gifStoredDepth>},
    {"JPEG", "jpg;jpe;jpeg", looksLikeJpeg, decodeJpegType, probeJpeg},
    {"TIFF", "tif;tiff", looksLikeTiff, decodeQt<kTiff, tiffStoredDepth>, probeQt<kTiff, tiffStoredDepth>},
    // Also a .dib or .rle that carries a file header: Qt's reader is forced by content.
    {"BMP", "bmp;rle", looksLikeBmp, decodeBmp, probeQt<kBmp, bmpStoredDepth>},
    {"WMF", "wmf", looksLikeWmf, decodeWmf, nullptr},
    {"EMF", "emf", looksLikeEmf, decodeEmf, nullptr},
    // Our own decoders, strongest magic first; those without one only claim by extension.
    {"IFF", "iff;lbm", looksLikeIff, plain<decodeIff>, nullptr},
    {"WPG", "wpg", looksLikeWpg, plain<decodeWpgPicture>, nullptr},
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
