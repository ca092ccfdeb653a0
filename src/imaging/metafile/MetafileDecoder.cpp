#include "imaging/metafile/MetafileDecoder.h"

#include "imaging/metafile/EmfLoader.h"
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/MetafileDrawing.h"
#include "imaging/metafile/WmfLoader.h"
#include "imaging/metafile/WmfPlayer.h"

namespace mv::imaging {

namespace {

constexpr int kMetafileDepth = 24;

DecodeResult vectorPicture(metafile::MetafileLoad load, metafile::MetafileDrawing::Player player)
{
    if (!load.status)
        return DecodeResult::failure(std::move(load.status));
    const QSize size(int(load.file.natural.width()), int(load.file.natural.height()));
    return DecodeResult::vector(std::make_shared<metafile::MetafileDrawing>(std::move(load.file), player),
                                size, kMetafileDepth);
}

bool startsWith(QByteArrayView data, QByteArrayView magic)
{
    return data.size() >= magic.size() && data.first(magic.size()) == magic;
}

} // namespace

bool looksLikeWmf(QByteArrayView d)
{
    if (startsWith(d, "\xD7\xCD\xC6\x9A")) // placeable header
        return true;
    // A plain metafile header: type 1 or 2, header size 9 words, version 1 or 3.
    return d.size() >= 18 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0 && d[4] == 0 &&
           (d[5] == 1 || d[5] == 3);
}

bool looksLikeEmf(QByteArrayView d)
{
    return d.size() >= 44 && startsWith(d, QByteArrayView("\1\0\0\0", 4)) && d.sliced(40, 4) == " EMF";
}

DecodeResult decodeWmfData(QByteArrayView data)
{
    return vectorPicture(metafile::loadWmf(data), metafile::playWmf);
}

DecodeResult decodeEmfData(QByteArrayView data)
{
    return vectorPicture(metafile::loadEmf(data), metafile::playEmf);
}

DecodeResult decodeWmf(const DecodeRequest& request)
{
    return decodeWmfData(request.data);
}
DecodeResult decodeEmf(const DecodeRequest& request)
{
    return decodeEmfData(request.data);
}

} // namespace mv::imaging
