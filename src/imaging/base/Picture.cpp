#include "imaging/base/Picture.h"

#include "imaging/base/Messages.h"

namespace mv::imaging {

Picture Picture::failure(const QString& why)
{
    return failure(decodeFailure(why));
}

Picture Picture::failure(fileio::Status why)
{
    Picture p;
    p.status = std::move(why);
    p.status.ok = false;
    if (p.status.step.empty())
        p.status.step = kDecodeStep;
    if (p.status.reason.empty())
        p.status.reason = reason(Reason::NotDecoded).toStdString();
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
        return failure(std::move(result.status));
    return Picture(std::move(result));
}

} // namespace mv::imaging
