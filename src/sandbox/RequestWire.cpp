#include "sandbox/RequestWire.h"

#include "sandbox/WireText.h"

#include <QFileInfo>

namespace mv::sandbox {

namespace {

constexpr std::uint32_t kMaxSuffix = 32;
const QString kBaseName = QStringLiteral("picture.");

} // namespace

std::vector<char> requestMessage(const DecodeJob& job, wire::JobKind kind)
{
    wire::Request r;
    r.kind = kind;
    r.byteCount = std::uint64_t(job.bytes.size());
    r.paletteOffset = r.byteCount;
    r.paletteCount = std::uint64_t(job.palette.size());
    const imaging::DecodeOptions& o = job.options;
    r.ditherMode = int(o.ditherMode);
    r.dctMethod = int(o.dctMethod);
    r.jpegDither = int(o.jpegDither);
    r.fancyUpsampling = o.jpegFancyUpsampling;
    r.twoPassQuantize = o.jpegTwoPassQuantize;
    r.firstFrameOnly = o.firstFrameOnly;
    r.embeddedPreview = std::uint8_t(o.embeddedPreview);
    r.sensitive = job.sensitive;
    if (o.targetSize.isValid()) {
        r.targetWidth = o.targetSize.width();
        r.targetHeight = o.targetSize.height();
    }
    if (job.draw.box.isValid()) {
        r.boxWidth = job.draw.box.width();
        r.boxHeight = job.draw.box.height();
    }
    r.drawScale = job.draw.scale;
    const QByteArray suffix = QFileInfo(job.fileName).suffix().toUtf8().left(kMaxSuffix);
    r.suffixBytes = std::uint32_t(suffix.size());
    return messageOf(r, {suffix});
}

bool parseRequest(const std::vector<char>& message, ParsedRequest& out)
{
    WireReader reader(message);
    std::string suffix;
    if (!reader.header(out.header) || out.header.magic != wire::kRequestMagic ||
        !reader.text(out.header.suffixBytes, kMaxSuffix, suffix) || !reader.atEnd())
        return false;
    out.fileName = kBaseName + QString::fromUtf8(suffix);
    return true;
}

bool jobOf(const ParsedRequest& request, const char* bytes, std::uint64_t size, DecodeJob& job)
{
    const wire::Request& r = request.header;
    if (r.byteCount > size || r.paletteOffset > size || r.paletteCount > size - r.paletteOffset)
        return false;
    job.bytes = QByteArrayView(bytes, qsizetype(r.byteCount));
    job.palette = QByteArrayView(bytes + r.paletteOffset, qsizetype(r.paletteCount));
    job.fileName = request.fileName;
    imaging::DecodeOptions& o = job.options;
    o.ditherMode = imaging::ditherModeFromIndex(r.ditherMode);
    o.dctMethod = imaging::dctMethodFromIndex(r.dctMethod);
    o.jpegDither = imaging::jpegDitherFromIndex(r.jpegDither);
    o.jpegFancyUpsampling = r.fancyUpsampling != 0;
    o.jpegTwoPassQuantize = r.twoPassQuantize != 0;
    o.firstFrameOnly = r.firstFrameOnly != 0;
    if (r.embeddedPreview > std::uint8_t(imaging::EmbeddedPreview::Only))
        return false;
    o.embeddedPreview = imaging::EmbeddedPreview(r.embeddedPreview);
    o.targetSize = r.targetWidth >= 0 ? QSize(r.targetWidth, r.targetHeight) : QSize();
    job.draw.box = r.boxWidth >= 0 ? QSize(r.boxWidth, r.boxHeight) : QSize();
    job.draw.scale = r.drawScale;
    job.sensitive = r.sensitive != 0;
    return true;
}

} // namespace mv::sandbox
