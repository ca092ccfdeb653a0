#include "imaging/base/Picture.h"

#include "imaging/base/Messages.h"

namespace mv::imaging {

Picture Picture::failure(const QString& why)
{
    Picture p;
    p.error = why.isEmpty() ? reason(Reason::NotDecoded) : why;
    return p;
}

qint64 Picture::pixelBytes() const
{
    qint64 bytes = image.sizeInBytes() + reduced.sizeInBytes();
    if (animation) {
        for (size_t i = 1; i < animation->frames.size(); ++i)
            bytes += animation->frames[i].image.sizeInBytes();
    }
    return bytes;
}

Picture Picture::fromResult(DecodeResult result)
{
    if (!result.ok())
        return failure(result.error);
    return Picture(std::move(result));
}

} // namespace mv::imaging
