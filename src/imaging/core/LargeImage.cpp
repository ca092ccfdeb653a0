#include "imaging/core/LargeImage.h"

#include "imaging/DecodeLimits.h"

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

} // namespace

QImage allocateLargeImage(std::int64_t width, std::int64_t height, QImage::Format format, QString* reason)
{
    const int bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
    const std::int64_t bytesPerLine = ((width * bitsPerPixel + 31) / 32) * 4;
    if (!checkDimensions(width, height, qMax(1, bitsPerPixel / 8)).isEmpty() || bytesPerLine * height < kLargeBytes)
        return allocateImage(width, height, format, reason);
    const auto size = std::size_t(bytesPerLine * height);
    void* buffer = nullptr;
    if (posix_memalign(&buffer, kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage) != 0)
        return allocateImage(width, height, format, reason); // gives the usual reason
#ifdef MADV_HUGEPAGE
    ::madvise(buffer, size, MADV_HUGEPAGE); // advice only: a refusal changes nothing
#endif
    QImage image(static_cast<uchar*>(buffer), int(width), int(height), qsizetype(bytesPerLine), format, freeBuffer,
                 buffer);
    if (image.isNull()) {
        std::free(buffer);
        return allocateImage(width, height, format, reason);
    }
    if (reason)
        reason->clear();
    return image;
}

} // namespace mv::imaging
