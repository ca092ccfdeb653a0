#include "imaging/base/ProtectedPixels.h"

#include <QColorSpace>

#include <cstdint>
#include <cstring>

#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mv::imaging {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct Region {
    void* base = nullptr;
    std::size_t length = 0;
    PixelsReleased released;
};

void advise(void* base, std::size_t length)
{
    // Advice only: a kernel without one of them gives a picture that is merely less protected.
    ::madvise(base, length, MADV_DONTDUMP);
#ifdef MADV_WIPEONFORK
    ::madvise(base, length, MADV_WIPEONFORK);
#endif
#ifdef MADV_HUGEPAGE
    if (length >= kHugePage)
        ::madvise(base, length, MADV_HUGEPAGE);
#endif
}

// A private mapping of at least bytes, on a huge-page boundary when it is that large, so that
// the copy into it takes a few faults rather than one per page.
Region* mapRegion(std::size_t bytes)
{
    const auto page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t align = bytes >= kHugePage ? kHugePage : page;
    const std::size_t length = (bytes + align - 1) / align * align;
    const std::size_t slack = align > page ? align : 0;
    void* raw = ::mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + align - 1) / align * align;
    if (aligned > start)
        ::munmap(raw, aligned - start);
    if (const std::uintptr_t tail = start + length + slack - (aligned + length))
        ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    auto* region = new Region;
    region->base = reinterpret_cast<void*>(aligned);
    region->length = length;
    advise(region->base, length);
    return region;
}

void release(void* info)
{
    auto* region = static_cast<Region*>(info);
    ::explicit_bzero(region->base, region->length);
    if (region->released)
        region->released(static_cast<const uchar*>(region->base), qsizetype(region->length));
    ::munmap(region->base, region->length);
    delete region;
}

} // namespace

QImage protectedCopy(const QImage& image, PixelsReleased released)
{
    if (image.isNull())
        return {};
    Region* region = mapRegion(std::size_t(image.sizeInBytes()));
    if (!region)
        return {};
    region->released = std::move(released);
    std::memcpy(region->base, image.constBits(), std::size_t(image.sizeInBytes()));
    QImage copy(static_cast<uchar*>(region->base), image.width(), image.height(), image.bytesPerLine(),
                image.format(), release, region);
    // Each setter writes into the copy's own header, which only it holds: no pixels move.
    if (!image.colorTable().isEmpty())
        copy.setColorTable(image.colorTable());
    if (image.colorSpace().isValid())
        copy.setColorSpace(image.colorSpace());
    copy.setDevicePixelRatio(image.devicePixelRatio());
    copy.setDotsPerMeterX(image.dotsPerMeterX());
    copy.setDotsPerMeterY(image.dotsPerMeterY());
    return copy;
}

void zeroPixels(QImage& image)
{
    // Only an image nobody else holds: writing to a shared one would copy it first.
    if (!image.isNull() && image.isDetached())
        ::explicit_bzero(image.bits(), std::size_t(image.sizeInBytes()));
}

QImage protectedTake(QImage image)
{
    QImage copy = protectedCopy(image);
    if (copy.isNull())
        return image;
    zeroPixels(image);
    return copy;
}

void protectPicture(Picture& picture)
{
    picture.sensitive = true;
    if (picture.animation) {
        auto frames = std::make_shared<Animation>(*picture.animation);
        picture.animation.reset();
        for (std::size_t i = 0; i < frames->frames.size(); ++i) {
            // The first frame is the picture's own image: protected once, shared again.
            frames->frames[i].image = i == 0 ? QImage() : protectedTake(std::move(frames->frames[i].image));
        }
        picture.image = protectedTake(std::move(picture.image));
        if (!frames->frames.empty())
            frames->frames[0].image = picture.image;
        picture.animation = std::move(frames);
    } else {
        picture.image = protectedTake(std::move(picture.image));
    }
    picture.reduced = protectedTake(std::move(picture.reduced));
}

} // namespace mv::imaging
