#include "imaging/base/DecodeLimits.h"

#include "imaging/base/Messages.h"

#include <cstdlib>

#include <sys/mman.h>

namespace mv::imaging {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::int64_t kLargeBytes = std::int64_t(16) << 20;

void freeBuffer(void* buffer)
{
    std::free(buffer);
}

// Picture buffers of tens of megabytes cost more in page faults than in decoding: such a
// buffer is put on huge pages where the kernel offers them (transparent huge pages). A null
// image when that cannot be had; the caller then takes an ordinary buffer.
QImage hugePageImage(std::int64_t width, std::int64_t height, std::int64_t bytesPerLine,
                     QImage::Format format)
{
    const auto size = std::size_t(bytesPerLine * height);
    void* buffer = nullptr;
    if (posix_memalign(&buffer, kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage) != 0)
        return {};
#ifdef MADV_HUGEPAGE
    ::madvise(buffer, size, MADV_HUGEPAGE); // advice only: a refusal changes nothing
#endif
    QImage image(static_cast<uchar*>(buffer), int(width), int(height), qsizetype(bytesPerLine), format,
                 freeBuffer, buffer);
    if (image.isNull())
        std::free(buffer);
    return image;
}

} // namespace

QString checkDimensions(std::int64_t width, std::int64_t height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0)
        return reason(Reason::NoPixels).arg(width).arg(height);
    if (width > kMaxDimension || height > kMaxDimension)
        return reason(Reason::TooLarge).arg(width).arg(height);
    if (width * height * bytesPerPixel > kMaxDecodedBytes)
        return reason(Reason::TooLargeToDecode).arg(width).arg(height);
    return {};
}

QImage allocateImage(std::int64_t width, std::int64_t height, QImage::Format format, QString* whyNot)
{
    const int bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
    QString why = checkDimensions(width, height, qMax(1, bitsPerPixel / 8));
    QImage image;
    if (why.isEmpty()) {
        const std::int64_t bytesPerLine = ((width * bitsPerPixel + 31) / 32) * 4;
        if (bytesPerLine * height >= kLargeBytes)
            image = hugePageImage(width, height, bytesPerLine, format);
        if (image.isNull())
            image = QImage(int(width), int(height), format);
        if (image.isNull())
            why = reason(Reason::NoMemoryForPicture).arg(width).arg(height);
    }
    if (whyNot)
        *whyNot = why;
    return image;
}

} // namespace mv::imaging
