#include "sandbox/ReplyReader.h"

#include "fileio/MemoryFile.h"
#include "imaging/base/Animation.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/DecodeResult.h"
#include "imaging/base/Messages.h"
#include "imaging/base/ProtectedPixels.h"
#include "sandbox/Decoders.h"
#include "sandbox/WireText.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace mv::sandbox {

namespace {

// Far more than any picture the decoders allow, and small enough that a lying size is caught.
constexpr std::uint64_t kMaxPixelFileBytes = std::uint64_t(4) << 30;
constexpr std::uint32_t kMaxFrames = 1u << 16;
constexpr int kMaxFactSide = 1 << 20;
constexpr int kMaxTypeName = 64;

imaging::Picture malformed()
{
    return imaging::Picture::failure(fileio::Status::failure(
        kDecoderStoppedStep,
        QCoreApplication::translate("mv::sandbox", "the decoder was stopped: its answer was malformed")
            .toStdString()));
}

struct Mapping {
    void* base = MAP_FAILED;
    std::size_t length = 0;
    ~Mapping()
    {
        if (base != MAP_FAILED)
            ::munmap(base, length);
    }
};

void dropHold(void* hold)
{
    delete static_cast<std::shared_ptr<Mapping>*>(hold);
}

// The entries a colour table of format has room for: every index its pixels can hold.
int tableRoom(QImage::Format format)
{
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
        return 2;
    return format == QImage::Format_Indexed8 ? 256 : 0;
}

std::uint64_t pixelBytes(const wire::Frame& f)
{
    return std::uint64_t(f.bytesPerLine) * std::uint64_t(f.height);
}

// A frame whose every field is in range and whose bytes lie within a file of size bytes.
bool frameFits(const wire::Frame& f, std::uint64_t size)
{
    if (f.format <= QImage::Format_Invalid || f.format >= QImage::NImageFormats)
        return false;
    if (f.width < 1 || f.height < 1 || f.width > imaging::kMaxDimension * 2 ||
        f.height > imaging::kMaxDimension * 2)
        return false;
    const auto format = QImage::Format(f.format);
    const std::uint64_t depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::uint64_t minLine = (std::uint64_t(f.width) * depth + 7) / 8;
    if (f.bytesPerLine < 0 || std::uint64_t(f.bytesPerLine) < minLine || f.bytesPerLine % 4 != 0 ||
        std::uint64_t(f.bytesPerLine) > minLine + 64)
        return false;
    if (f.pixelOffset % 16 != 0 || f.pixelOffset > size || pixelBytes(f) > size - f.pixelOffset)
        return false;
    // Drawing looks each pixel's index up in the table unchecked, so an indexed frame brings a
    // colour for every index its pixels can hold, and a frame of any other format none.
    if (f.colorCount != tableRoom(format))
        return false;
    const std::uint64_t colorBytes = std::uint64_t(f.colorCount) * sizeof(QRgb);
    return f.colorOffset % alignof(QRgb) == 0 && f.colorOffset <= size && colorBytes <= size - f.colorOffset;
}

struct Span {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

// Whether no two parts of the file share a byte. Pixels named by several frames would be
// copied once for each, so a small file could make the program hold gigabytes.
bool disjoint(std::vector<Span> spans)
{
    std::erase_if(spans, [](const Span& s) { return s.begin == s.end; });
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].begin < spans[i - 1].end)
            return false;
    return true;
}

// Whether the first frame has the size the reply states, as far as job lets the two differ: a
// picture decoded whole has its frame's size, one decoded for a target size (a thumbnail, a
// first look) is no smaller than its frame, and a vector picture's frame is drawn at the size
// job asks for its natural size.
bool sizeMatches(const wire::Reply& h, const wire::Frame& first, const DecodeJob& job)
{
    const QSize stated(h.width, h.height);
    const QSize got(first.width, first.height);
    if (h.flags & wire::kRedrawable) {
        // The decoder states the natural size rounded, so it lies within a pixel of the stated
        // one. The drawn width grows with the natural width and shrinks as the natural height
        // grows, the drawn height the other way round: the extremes bound the frame.
        const auto natural = [](int side, int step) { return std::max(0.001, double(side) + step); };
        const QSize wide = drawnVectorSize({natural(h.width, 1), natural(h.height, -1)}, job.draw);
        const QSize tall = drawnVectorSize({natural(h.width, -1), natural(h.height, 1)}, job.draw);
        return got.width() >= tall.width() - 1 && got.width() <= wide.width() + 1 &&
               got.height() >= wide.height() - 1 && got.height() <= tall.height() + 1;
    }
    if (job.options.targetSize.isValid() && !job.options.targetSize.isEmpty())
        return got.width() <= stated.width() && got.height() <= stated.height();
    return got == stated;
}

QImage frameImage(const std::shared_ptr<Mapping>& mapping, const wire::Frame& f)
{
    const auto* base = static_cast<const uchar*>(mapping->base);
    auto* hold = new std::shared_ptr<Mapping>(mapping);
    QImage image(base + f.pixelOffset, f.width, f.height, f.bytesPerLine, QImage::Format(f.format), dropHold,
                 hold);
    if (image.isNull()) {
        delete hold;
        return image;
    }
    if (f.colorCount > 0) {
        QList<QRgb> colors(f.colorCount);
        std::memcpy(colors.data(), base + f.colorOffset, std::size_t(f.colorCount) * sizeof(QRgb));
        image.setColorTable(colors);
    }
    return image;
}

// A memory file in shared memory whose size nobody can change any more, and whose contents
// nobody can either unless the program is to wipe them: a decrypted picture's pixels are copied
// out before they are used, while a plain picture's are drawn from the file as it is.
bool isMemoryFile(int fd, bool sensitive, std::uint64_t& size)
{
    struct stat st {};
    struct statfs fs {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || ::fstatfs(fd, &fs) != 0)
        return false;
    size = std::uint64_t(st.st_size);
    // Shared memory only: a huge-page file could fail a read fault when the pool runs dry.
    return fs.f_type == TMPFS_MAGIC && (sensitive ? fileio::sizeIsSealed(fd) : fileio::contentsAreSealed(fd));
}

// The picture in a memory file of size bytes whose seals are checked, or why not; its mapping
// ends with the last image drawn from it.
imaging::Picture pictureIn(const ParsedReply& reply, int pixels, std::uint64_t size, const DecodeJob& job)
{
    const wire::Reply& h = reply.header;
    auto mapping = std::make_shared<Mapping>();
    mapping->length = std::size_t(size);
    mapping->base = ::mmap(nullptr, mapping->length, PROT_READ, MAP_SHARED, pixels, 0);
    if (mapping->base == MAP_FAILED)
        return imaging::Picture::failure(fileio::Status::failure(kDecoderStoppedStep, errno));
    // The table is copied out before it is checked: a decrypted picture's file stays writable.
    std::vector<wire::Frame> frames(h.frameCount);
    std::memcpy(frames.data(), mapping->base, frames.size() * sizeof(wire::Frame));
    std::vector<Span> parts {{0, frames.size() * sizeof(wire::Frame)}};
    std::uint64_t total = 0;
    for (const wire::Frame& f : frames) {
        if (!frameFits(f, size))
            return malformed();
        parts.push_back({f.pixelOffset, f.pixelOffset + pixelBytes(f)});
        parts.push_back({f.colorOffset, f.colorOffset + std::uint64_t(f.colorCount) * sizeof(QRgb)});
        total += pixelBytes(f);
    }
    // An animation's frames stop where the decoders stop reading them; a still picture is
    // bounded by the file.
    if ((frames.size() > 1 && total > std::uint64_t(imaging::kMaxAnimationBytes)) ||
        !disjoint(std::move(parts)) || !sizeMatches(h, frames.front(), job))
        return malformed();
    std::vector<QImage> images;
    for (const wire::Frame& f : frames) {
        QImage image = frameImage(mapping, f);
        if (image.isNull())
            return malformed();
        images.push_back(job.sensitive ? imaging::protectedCopy(image) : std::move(image));
        if (images.back().isNull())
            return imaging::Picture::failure(
                imaging::reason(imaging::Reason::NoMemoryForPicture).arg(f.width).arg(f.height));
    }
    imaging::Picture picture;
    picture.image = images.front();
    picture.width = h.width;
    picture.height = h.height;
    picture.colorDepth = h.colorDepth;
    picture.typeName = QString::fromUtf8(reply.typeName);
    picture.redrawable = (h.flags & wire::kRedrawable) != 0;
    picture.sensitive = job.sensitive;
    if (frames.size() > 1) {
        auto animation = std::make_shared<imaging::Animation>();
        for (std::size_t i = 0; i < frames.size(); ++i)
            animation->frames.push_back({images[i], std::max(0, frames[i].delayMs)});
        animation->loopCount = std::max(-1, h.loopCount);
        animation->cutShort = (h.flags & wire::kCutShort) != 0;
        picture.animation = std::move(animation);
    }
    return picture;
}

} // namespace

bool parseReply(const std::vector<char>& message, ParsedReply& out)
{
    WireReader reader(message);
    return reader.header(out.header) && out.header.magic == wire::kReplyMagic &&
           reader.text(out.header.typeNameBytes, kMaxTypeName, out.typeName) &&
           reader.text(out.header.stepBytes, wire::kMaxStringBytes, out.step) &&
           reader.text(out.header.reasonBytes, wire::kMaxStringBytes, out.reason) && reader.atEnd();
}

fileio::Status readFailure(const ParsedReply& reply)
{
    fileio::Status status =
        fileio::Status::failure(reply.step.empty() ? imaging::kDecodeStep : reply.step, reply.reason);
    status.error = reply.header.error;
    // A helper does not get to say that the decoder was stopped: only the program knows that.
    if (status.step == kDecoderStoppedStep)
        status.step = imaging::kDecodeStep;
    return status;
}

imaging::PictureInfo readInfo(const ParsedReply& reply)
{
    imaging::PictureInfo info;
    if (reply.header.kind == wire::ReplyKind::Failed) {
        info.status = readFailure(reply);
        return info;
    }
    const wire::Reply& h = reply.header;
    if (h.kind != wire::ReplyKind::Info || h.width < 0 || h.height < 0 || h.width > kMaxFactSide ||
        h.height > kMaxFactSide || h.colorDepth < 0 || h.colorDepth > 64) {
        info.status = malformed().status;
        return info;
    }
    info.width = h.width;
    info.height = h.height;
    info.colorDepth = h.colorDepth;
    info.typeName = QString::fromUtf8(reply.typeName);
    return info;
}

imaging::Picture readPicture(const ParsedReply& reply, fileio::UniqueFd pixels, const DecodeJob& job)
{
    const wire::Reply& h = reply.header;
    std::uint64_t size = 0;
    if (h.kind != wire::ReplyKind::Picture || !pixels.valid() || h.width < 1 || h.height < 1 ||
        h.width > kMaxFactSide || h.height > kMaxFactSide || h.colorDepth < 0 || h.colorDepth > 64 ||
        h.frameCount < 1 || h.frameCount > kMaxFrames || !isMemoryFile(pixels.get(), job.sensitive, size) ||
        size > kMaxPixelFileBytes || std::uint64_t(h.frameCount) * sizeof(wire::Frame) > size)
        return malformed();
    imaging::Picture picture = pictureIn(reply, pixels.get(), size, job);
    // Taken or refused, a decrypted picture's pixels do not stay behind in the file.
    if (job.sensitive)
        fileio::wipeMemoryFile(pixels.get(), size);
    return picture;
}

} // namespace mv::sandbox
