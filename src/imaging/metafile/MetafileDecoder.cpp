#include "imaging/metafile/MetafileDecoder.h"

#include "imaging/metafile/EmfLoader.h"
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/MetafileDrawing.h"
#include "imaging/metafile/WmfLoader.h"
#include "imaging/metafile/WmfPlayer.h"

namespace mv::imaging {

namespace {

constexpr int kMetafileDepth = 24;

template <typename Load>
Picture vectorPicture(Load load, metafile::MetafileDrawing::Player player)
{
    if (!load.error.isEmpty())
        return Picture::failure(load.error);
    Picture p;
    p.width = int(load.file.natural.width());
    p.height = int(load.file.natural.height());
    p.colorDepth = kMetafileDepth;
    p.drawing = std::make_shared<metafile::MetafileDrawing>(std::move(load.file), player);
    return p;
}

} // namespace

Picture decodeWmfData(QByteArrayView data)
{
    return vectorPicture(metafile::loadWmf(data), metafile::playWmf);
}

Picture decodeEmfData(QByteArrayView data)
{
    return vectorPicture(metafile::loadEmf(data), metafile::playEmf);
}

Picture decodeWmf(const DecodeRequest& request) { return decodeWmfData(request.data); }
Picture decodeEmf(const DecodeRequest& request) { return decodeEmfData(request.data); }

} // namespace mv::imaging
