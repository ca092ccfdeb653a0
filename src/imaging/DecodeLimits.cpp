#include "imaging/DecodeLimits.h"

namespace mv::imaging {

QString checkDimensions(std::int64_t width, std::int64_t height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0)
        return QStringLiteral("the picture has no pixels (%1 x %2)").arg(width).arg(height);
    if (width > kMaxDimension || height > kMaxDimension)
        return QStringLiteral("the picture is too large (%1 x %2)").arg(width).arg(height);
    if (width * height * bytesPerPixel > kMaxDecodedBytes)
        return QStringLiteral("the picture is too large to decode (%1 x %2)").arg(width).arg(height);
    return {};
}

QImage allocateImage(std::int64_t width, std::int64_t height, QImage::Format format, QString* reason)
{
    const int bytesPerPixel = qMax(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    QString why = checkDimensions(width, height, bytesPerPixel);
    QImage image;
    if (why.isEmpty()) {
        image = QImage(int(width), int(height), format);
        if (image.isNull())
            why = QStringLiteral("not enough memory for a %1 x %2 picture").arg(width).arg(height);
    }
    if (reason)
        *reason = why;
    return image;
}

} // namespace mv::imaging
