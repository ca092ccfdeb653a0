#include "imaging/metafile/MetafileBitmap.h"

#include "imaging/ByteReader.h"
#include "imaging/pc/DibDecoder.h"

namespace mv::imaging::metafile {

QRectF MetafileBitmap::source(double x, double y, double w, double h) const
{
    const QRectF whole(QPointF(0, 0), QSizeF(image.size()));
    if (w == 0 || h == 0)
        return whole;
    const double top = bottomUp ? image.height() - y - std::abs(h) : y;
    return QRectF(x, top, std::abs(w), std::abs(h)).intersected(whole);
}

MetafileBitmap decodeMetafileBitmap(QByteArrayView dib)
{
    MetafileBitmap b;
    ByteReader r(dib);
    const std::uint32_t headerSize = r.u32le();
    if (headerSize == 12) {
        r.skip(2);
        b.bottomUp = true;
    } else {
        r.skip(4);
        b.bottomUp = r.s32le() > 0;
    }
    if (!r.ok())
        return b;
    const DecodeResult result = decodeDib(dib);
    if (result.ok())
        b.image = result.image;
    return b;
}

MetafileBitmap decodeMetafileBitmap(QByteArrayView header, QByteArrayView bits)
{
    if (header.data() + header.size() == bits.data())
        return decodeMetafileBitmap(QByteArrayView(header.data(), header.size() + bits.size()));
    QByteArray joined = header.toByteArray();
    joined.append(bits);
    return decodeMetafileBitmap(QByteArrayView(joined));
}

} // namespace mv::imaging::metafile
