#include "imaging/base/Picture.h"

#include "imaging/base/Messages.h"

namespace mv::imaging {

Picture Picture::failure(const QString& why)
{
    Picture p;
    p.error = why.isEmpty() ? reason(Reason::NotDecoded) : why;
    return p;
}

Picture Picture::fromResult(DecodeResult result)
{
    if (!result.ok())
        return failure(result.error);
    return Picture(std::move(result));
}

} // namespace mv::imaging
