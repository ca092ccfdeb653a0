#include "sandbox/helper/ReplyWriter.h"

#include "fileio/FdIo.h"
#include "fileio/MemoryFile.h"
#include "imaging/base/Messages.h"
#include "sandbox/WireText.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace mv::sandbox {

namespace {

constexpr std::uint64_t kAlign = 64;

std::uint64_t aligned(std::uint64_t at)
{
    return (at + kAlign - 1) / kAlign * kAlign;
}

// An indexed frame's colours, one for every index its pixels can hold (the program takes no
// shorter table, as drawing looks indexes up unchecked), those the decoder left out black;
// none for any other format.
QList<QRgb> fullTable(const QImage& image)
{
    const QImage::Format format = image.format();
    const qsizetype room = format == QImage::Format_Mono || format == QImage::Format_MonoLSB ? 2
                           : format == QImage::Format_Indexed8                               ? 256
                                                                                             : 0;
    QList<QRgb> colors = image.colorTable().first(std::min(room, image.colorTable().size()));
    colors.resize(room, qRgb(0, 0, 0));
    return colors;
}

QByteArrayView viewOf(const std::string& s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

OutgoingReply withStrings(wire::Reply header, const QByteArray& typeName, const std::string& step,
                          const std::string& reason)
{
    const QByteArray type = typeName.left(64);
    const std::string shortStep = step.substr(0, wire::kMaxStringBytes);
    const std::string shortReason = reason.substr(0, wire::kMaxStringBytes);
    header.typeNameBytes = std::uint32_t(type.size());
    header.stepBytes = std::uint32_t(shortStep.size());
    header.reasonBytes = std::uint32_t(shortReason.size());
    return {messageOf(header, {type, viewOf(shortStep), viewOf(shortReason)}), {}};
}

} // namespace

OutgoingReply failureReply(const fileio::Status& status, wire::ReplyKind kind)
{
    wire::Reply header;
    header.kind = kind;
    header.error = status.error;
    return withStrings(header, {}, status.step, status.reason);
}

OutgoingReply infoReply(const imaging::PictureInfo& info)
{
    if (!info.ok())
        return failureReply(info.status);
    wire::Reply header;
    header.kind = wire::ReplyKind::Info;
    header.width = info.width;
    header.height = info.height;
    header.colorDepth = info.colorDepth;
    return withStrings(header, info.typeName.toUtf8(), {}, {});
}

OutgoingReply pictureReply(const imaging::Picture& picture, bool sensitive)
{
    if (!picture.ok() || picture.image.isNull())
        return failureReply(picture.ok()
                                ? imaging::decodeFailure(imaging::reason(imaging::Reason::NotDecoded))
                                : picture.status);
    std::vector<const imaging::AnimationFrame*> animated;
    if (picture.isAnimated())
        for (const imaging::AnimationFrame& frame : picture.animation->frames)
            animated.push_back(&frame);
    const std::size_t count = animated.empty() ? 1 : animated.size();
    const auto imageAt = [&](std::size_t i) -> const QImage& {
        return animated.empty() ? picture.image : animated[i]->image;
    };

    std::vector<wire::Frame> frames(count);
    std::uint64_t end = aligned(count * sizeof(wire::Frame));
    for (std::size_t i = 0; i < count; ++i) {
        const QImage& image = imageAt(i);
        wire::Frame& f = frames[i];
        f.width = image.width();
        f.height = image.height();
        f.bytesPerLine = int(image.bytesPerLine());
        f.format = int(image.format());
        f.delayMs = animated.empty() ? 0 : animated[i]->delayMs;
        f.colorCount = int(fullTable(image).size());
        f.colorOffset = end;
        end = aligned(end + std::uint64_t(f.colorCount) * sizeof(QRgb));
        f.pixelOffset = end;
        end = aligned(end + std::uint64_t(image.sizeInBytes()));
    }
    fileio::UniqueFd fd = fileio::newMemoryFile("mv-pixels", end);
    bool written =
        fd.valid() && fileio::pwriteFull(fd.get(), frames.data(), frames.size() * sizeof(wire::Frame), 0);
    for (std::size_t i = 0; written && i < count; ++i) {
        const QImage& image = imageAt(i);
        const QList<QRgb> colors = fullTable(image);
        written = fileio::pwriteFull(fd.get(), colors.constData(),
                                     std::uint64_t(colors.size()) * sizeof(QRgb), frames[i].colorOffset) &&
                  fileio::pwriteFull(fd.get(), image.constBits(), std::uint64_t(image.sizeInBytes()),
                                     frames[i].pixelOffset);
    }
    if (!written || !fileio::sealMemoryFile(fd.get(), sensitive))
        return failureReply(imaging::decodeFailure(imaging::reason(imaging::Reason::NoMemoryForPicture)
                                                       .arg(picture.image.width())
                                                       .arg(picture.image.height())));

    wire::Reply header;
    header.kind = wire::ReplyKind::Picture;
    header.width = picture.width;
    header.height = picture.height;
    header.colorDepth = picture.colorDepth;
    header.flags = (picture.redrawable ? wire::kRedrawable : 0) |
                   (picture.animation && picture.animation->cutShort ? wire::kCutShort : 0);
    header.loopCount = picture.animation ? picture.animation->loopCount : 0;
    header.frameCount = std::uint32_t(count);
    OutgoingReply reply = withStrings(header, picture.typeName.toUtf8(), {}, {});
    reply.pixels = std::move(fd);
    return reply;
}

} // namespace mv::sandbox
