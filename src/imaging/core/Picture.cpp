#include "imaging/core/Picture.h"

namespace mv::imaging {

Picture Picture::failure(const QString& reason)
{
    Picture p;
    p.error = reason.isEmpty() ? QStringLiteral("the picture could not be decoded") : reason;
    return p;
}

Picture Picture::fromResult(DecodeResult result)
{
    if (!result.ok())
        return failure(result.error);
    Picture p;
    p.width = result.image.width();
    p.height = result.image.height();
    p.colorDepth = result.colorDepth;
    p.image = std::move(result.image);
    return p;
}

} // namespace mv::imaging
