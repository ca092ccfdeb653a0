#include "desktop/PngText.h"

#include <array>
#include <cstdint>

namespace mv::desktop {

namespace {

const QByteArrayView kPngSignature("\x89PNG\r\n\x1a\n", 8);

std::uint32_t be32(const uchar* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void appendBe32(QByteArray& out, std::uint32_t v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

std::uint32_t crc32(QByteArrayView bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ uchar(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

} // namespace

QByteArray pngTextChunk(QByteArrayView key, QByteArrayView value)
{
    QByteArray body("tEXt");
    body.append(key).append('\0').append(value);
    QByteArray chunk;
    appendBe32(chunk, std::uint32_t(body.size() - 4));
    chunk.append(body);
    appendBe32(chunk, crc32(body));
    return chunk;
}

QByteArray pngText(QByteArrayView png, QByteArrayView key)
{
    if (!png.startsWith(kPngSignature))
        return {};
    qsizetype at = kPngSignature.size();
    while (png.size() - at >= 12) {
        const auto* p = reinterpret_cast<const uchar*>(png.data() + at);
        const std::uint32_t length = be32(p);
        if (length > std::uint32_t(png.size() - at - 12))
            return {};
        const QByteArrayView type = png.sliced(at + 4, 4);
        const QByteArrayView data = png.sliced(at + 8, qsizetype(length));
        if (type == "IDAT" || type == "IEND")
            return {}; // text that matters comes before the pixels
        if (type == "tEXt") {
            const qsizetype nul = data.indexOf('\0');
            if (nul >= 0 && data.first(nul) == key)
                return data.sliced(nul + 1).toByteArray();
        }
        at += 12 + qsizetype(length);
    }
    return {};
}

} // namespace mv::desktop
