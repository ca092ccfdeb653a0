// Checks shared by the decoder tests: a decoded picture in a few words, refusals with their
// reason, noise for test pictures, and writing a test file.
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

inline std::uint32_t noise(int x, int y)
{
    std::uint32_t v = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

inline QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << qPrintable(path);
    return path;
}

} // namespace mv::imaging::test
