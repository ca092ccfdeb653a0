// Checks shared by the decoder tests: every pixel against what was encoded, refusals with
// their reason, and test pictures with runs and noise.
#pragma once

#include "imaging/base/DecodeResult.h"
#include "imaging/base/Palettes.h"
#include "imaging/base/Picture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace mv::imaging::test {

using Expected = std::function<QRgb(int x, int y)>;

// Every pixel of the decoded picture (as ARGB32) against the colour we encoded.
inline testing::AssertionResult samePixels(const DecodeResult& r, int width, int height,
                                           const Expected& expected)
{
    if (!r.ok())
        return testing::AssertionFailure() << "decode failed: " << r.status.reason;
    if (r.image.size() != QSize(width, height))
        return testing::AssertionFailure() << "size " << r.image.width() << "x" << r.image.height();
    const QImage argb = r.image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (const QRgb got = argb.pixel(x, y), want = expected(x, y); got != want)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << want;
    return testing::AssertionSuccess();
}

struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> index;
    QList<QRgb> palette;
    [[nodiscard]] std::uint8_t at(int x, int y) const { return index[size_t(y) * size_t(width) + size_t(x)]; }
    [[nodiscard]] QRgb colour(int x, int y) const { return palette[at(x, y)]; }
};

struct RgbPicture {
    int width = 0, height = 0;
    std::vector<QRgb> pixels;
    [[nodiscard]] QRgb at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    [[nodiscard]] QRgb colour(int x, int y) const { return at(x, y); }
};

// The sniffer takes the file for its type, and it decodes with `depth` to `p` pixel for pixel.
template <typename LooksLike, typename Decode, typename Picture>
testing::AssertionResult decodesTo(LooksLike looksLike, Decode decode, const QByteArray& file, int depth,
                                   const Picture& p)
{
    if (!looksLike(file))
        return testing::AssertionFailure() << "the sniffer does not take the file";
    const DecodeResult r = decode(file);
    if (r.ok() && r.colorDepth != depth)
        return testing::AssertionFailure() << "depth " << r.colorDepth << ", expected " << depth;
    return samePixels(r, p.width, p.height, [&p](int x, int y) { return p.colour(x, y); });
}

// A decoded picture in a few words, "[type ]<width>x<height> <depth>-bit vector|raster", or the
// reason it failed; vector: a drawing and no pixels, raster: pixels and no drawing.
inline std::string summary(const DecodeResult& p, const QString& type = {})
{
    if (!p.ok())
        return "failed: " + p.status.reason;
    const char* kind = p.drawing ? (p.image.isNull() ? "vector" : "both") : "raster";
    return (type.isEmpty() ? std::string() : type.toStdString() + " ") + std::to_string(p.width) + "x" +
           std::to_string(p.height) + " " + std::to_string(p.colorDepth) + "-bit " + kind;
}
inline std::string summary(const Picture& p)
{
    return summary(p, p.typeName);
}
// What a probe says, as summary() says it without the kind.
inline std::string summary(const PictureInfo& i)
{
    return i.ok() ? i.typeName.toStdString() + " " + std::to_string(i.width) + "x" +
                        std::to_string(i.height) + " " + std::to_string(i.colorDepth) + "-bit"
                  : "failed: " + i.status.reason;
}

// The decoder refused the bytes, carries no picture, and its reason contains `words`.
inline testing::AssertionResult failsWith(const DecodeResult& r, const char* words)
{
    if (r.ok())
        return testing::AssertionFailure() << "decoded although damaged";
    if (!r.image.isNull() || r.drawing)
        return testing::AssertionFailure() << "a failure that still carries a picture";
    if (r.status.reason.empty() || !r.reasonText().contains(QLatin1String(words)))
        return testing::AssertionFailure()
               << "reason \"" << r.status.reason << "\" lacks \"" << words << "\"";
    return testing::AssertionSuccess();
}

// The file cut after each of `cuts` bytes is refused, its reason containing `words`.
template <typename Decode>
testing::AssertionResult cutsFail(Decode decode, const QByteArray& file,
                                  std::initializer_list<qsizetype> cuts, const char* words)
{
    for (const qsizetype cut : cuts)
        if (testing::AssertionResult r = failsWith(decode(file.first(cut)), words); !r)
            return r << " (cut after " << cut << " bytes)";
    return testing::AssertionSuccess();
}

// A value for most neighbouring pixels different, with some runs in it.
inline int patternValue(int x, int y, int modulo)
{
    return (y % 3) == 1 && x < 20 ? 0 : (x * 7 + y * 13 + (x * y) % 5) % modulo;
}

inline std::uint32_t noise(int x, int y)
{
    std::uint32_t v = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

// Stripes on the left (runs), noise on the right (literals); indices below `colours`.
inline IndexedPicture makeIndexed(int width, int height, int colours)
{
    IndexedPicture p {width, height, {}, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.index.push_back(std::uint8_t((x < width / 2 ? std::uint32_t(x / 7 + y / 3) : noise(x, y)) %
                                           std::uint32_t(colours)));
    for (int i = 0; i < colours; ++i)
        p.palette.append(qRgb(i * 37 % 256, 255 - i * 11 % 256, i * 97 % 256));
    return p;
}

// alphaLevels: 0 for opaque, else the alpha comes in that many steps.
inline RgbPicture makeRgb(int width, int height, int alphaLevels = 0)
{
    RgbPicture p {width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = x < width / 2 ? std::uint32_t((x / 9) * 40 + y * 3) : noise(x, y);
            const int alpha =
                alphaLevels ? int((v >> 24) % std::uint32_t(alphaLevels)) * 255 / qMax(1, alphaLevels - 1)
                            : 255;
            p.pixels.push_back(qRgba(int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255), alpha));
        }
    return p;
}

inline QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << qPrintable(path);
    return path;
}

} // namespace mv::imaging::test
