#include "imaging/retro/IffDecoder.h"

#include "imaging/retro/IffChunks.h"
#include "imaging/retro/IlbmPixels.h"

namespace mv::imaging {

bool looksLikeIff(QByteArrayView data)
{
    return !iffFormType(data).isEmpty();
}

DecodeResult decodeIff(QByteArrayView data)
{
    IffPicture picture;
    if (QString why = readIffChunks(data, &picture); !why.isEmpty())
        return DecodeResult::failure(why);
    return decodeIffBody(picture);
}

} // namespace mv::imaging
