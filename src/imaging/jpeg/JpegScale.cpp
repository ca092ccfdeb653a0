#include "imaging/jpeg/JpegScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace mv::imaging {

namespace {

std::int64_t scaledUp(std::int64_t length, int numerator)
{
    return (length * numerator + 7) / 8;
}

} // namespace

QSize jpegScaledSize(QSize picture, int numerator)
{
    return {int(scaledUp(picture.width(), numerator)), int(scaledUp(picture.height(), numerator))};
}

int jpegScaleNumerator(QSize picture, QSize box)
{
    if (!box.isValid() || box.isEmpty() || picture.isEmpty())
        return 8;
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return 8;
    const double fit =
        std::min(double(box.width()) / picture.width(), double(box.height()) / picture.height());
    const auto drawnW = std::int64_t(std::ceil(picture.width() * fit - 1e-9));
    const auto drawnH = std::int64_t(std::ceil(picture.height() * fit - 1e-9));
    for (int n = 1; n < 8; ++n) {
        if (scaledUp(picture.width(), n) >= drawnW && scaledUp(picture.height(), n) >= drawnH)
            return n;
    }
    return 8;
}

} // namespace mv::imaging
