// A decoder helper's reply as the program reads it, from a helper a hostile picture may have
// taken over: the message, then the pixel memory file with its frame table, colour tables and
// pixels. A picture the reader accepts shows only bytes from within that file, row by row,
// each indexed frame with its whole colour table, no two frames sharing a byte, its first
// frame of the size the job allows; and only from a file sealed as the picture's trust asks.
//
// Input: one byte of options (bit 0: a decrypted picture; bit 1: decoded for a target size;
// bit 2: a vector picture's box to draw into; bit 3: a file left writable), the message's
// length (two bytes, little-endian), the message, then the pixel file's contents.
#include "FuzzCheck.h"
#include "fileio/MemoryFile.h"
#include "imaging/base/Animation.h"
#include "sandbox/Decoders.h"
#include "sandbox/ReplyReader.h"

#include <QPainter>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using namespace mv;
using namespace mv::sandbox;

// Every image of an accepted picture is its frame of the table, with the colours and the pixels
// that the frame points at in the file.
void checkAccepted(const ParsedReply& reply, const DecodeJob& job, const imaging::Picture& picture,
                   const uint8_t* file, std::uint64_t size)
{
    const std::uint32_t count = reply.header.frameCount;
    MV_FUZZ_CHECK(count >= 1 && std::uint64_t(count) * sizeof(wire::Frame) <= size);
    MV_FUZZ_CHECK(count == 1 ? !picture.animation
                             : picture.animation && picture.animation->frames.size() == count);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans {
        {0, std::uint64_t(count) * sizeof(wire::Frame)}};
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        wire::Frame f;
        std::memcpy(&f, file + std::size_t(i) * sizeof f, sizeof f);
        const QImage& image = count == 1 ? picture.image : picture.animation->frames[i].image;
        MV_FUZZ_CHECK(image.width() == f.width && image.height() == f.height &&
                      image.bytesPerLine() == f.bytesPerLine && int(image.format()) == f.format);
        const std::uint64_t bytes = std::uint64_t(f.bytesPerLine) * std::uint64_t(f.height);
        MV_FUZZ_CHECK(f.pixelOffset <= size && bytes <= size - f.pixelOffset);
        // An indexed frame's every colour, from the file: drawing looks indexes up unchecked.
        const QList<QRgb> colors = image.colorTable();
        const bool mono = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
        const qsizetype room = mono ? 2 : image.format() == QImage::Format_Indexed8 ? 256 : 0;
        MV_FUZZ_CHECK(colors.size() == room && f.colorCount == room && f.colorOffset <= size &&
                      std::uint64_t(room) * sizeof(QRgb) <= size - f.colorOffset);
        MV_FUZZ_CHECK(room == 0 || std::memcmp(colors.constData(), file + f.colorOffset,
                                               std::size_t(room) * sizeof(QRgb)) == 0);
        spans.push_back({f.pixelOffset, f.pixelOffset + bytes});
        spans.push_back({f.colorOffset, f.colorOffset + std::uint64_t(room) * sizeof(QRgb)});
        total += bytes;
        const std::size_t line = (std::size_t(f.width) * std::size_t(image.depth()) + 7) / 8;
        for (int y = 0; y < f.height; ++y)
            MV_FUZZ_CHECK(std::memcmp(image.constScanLine(y),
                                      file + f.pixelOffset + std::size_t(y) * f.bytesPerLine, line) == 0);
    }
    // No byte of the file serves twice, and an animation is no larger than a decoder keeps.
    std::erase_if(spans, [](const auto& s) { return s.first == s.second; });
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        MV_FUZZ_CHECK(spans[i - 1].second <= spans[i].first);
    MV_FUZZ_CHECK(count == 1 || total <= std::uint64_t(imaging::kMaxAnimationBytes));
    // The first frame is the stated size, unless the job let it be smaller or drawn to a box.
    wire::Frame first;
    std::memcpy(&first, file, sizeof first);
    const bool redrawable = (reply.header.flags & wire::kRedrawable) != 0;
    MV_FUZZ_CHECK(redrawable == picture.redrawable);
    if (!redrawable && !job.options.targetSize.isValid())
        MV_FUZZ_CHECK(first.width == picture.width && first.height == picture.height);
    if (!redrawable)
        MV_FUZZ_CHECK(first.width <= picture.width && first.height <= picture.height);
    // Drawn as the viewer draws it, scaled into its window.
    QImage window(16, 16, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::white);
    QPainter painter(&window);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, 16, 16), picture.image);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t messageBytes = std::min<std::size_t>(data[1] | (std::size_t(data[2]) << 8), size - 3);
    const std::vector<char> message(data + 3, data + 3 + messageBytes);
    const uint8_t* file = data + 3 + messageBytes;
    const std::uint64_t fileBytes = size - 3 - messageBytes;

    ParsedReply reply;
    if (!parseReply(message, reply))
        return 0;
    MV_FUZZ_CHECK(reply.header.magic == wire::kReplyMagic);
    MV_FUZZ_CHECK(readFailure(reply).step != kDecoderStoppedStep);
    const imaging::PictureInfo info = readInfo(reply);
    MV_FUZZ_CHECK(!info.ok() || (info.width >= 0 && info.height >= 0 && info.colorDepth >= 0));

    DecodeJob job;
    job.sensitive = (data[0] & 1) != 0;
    if (data[0] & 2)
        job.options.targetSize = QSize(64, 64);
    if (data[0] & 4)
        job.draw.box = QSize(100, 80);
    // A decrypted picture's file stays writable, so that it can be wiped; a plain one's may not.
    const bool writable = job.sensitive || (data[0] & 8) != 0;
    const fileio::Part part {file, fileBytes};
    fileio::UniqueFd pixels = fileio::sealedMemoryFile("fuzz-pixels", {&part, 1}, writable);
    MV_FUZZ_CHECK(pixels.valid());
    const imaging::Picture picture = readPicture(reply, std::move(pixels), job);
    // Refused as a stopped decoder; only copying a decrypted picture out can fail otherwise.
    MV_FUZZ_CHECK(picture.ok() || decoderStopped(picture.status) || job.sensitive);
    if (picture.ok()) {
        MV_FUZZ_CHECK(job.sensitive || !writable);
        checkAccepted(reply, job, picture, file, fileBytes);
    }
    return 0;
}
