// Shared by the decoder tests (and the benchmarks' writers): a probe in a few words, noise for
// test pictures, and writing a test file.
#pragma once

#include "imaging/base/DecodeResult.h"
#include "imaging/base/Palettes.h"
#include "imaging/base/Picture.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace mv::imaging::test {

// What a probe says: "<type> <width>x<height> <depth>-bit", or the reason it failed.
inline std::string summary(const PictureInfo& i)
{
    return i.ok() ? i.typeName.toStdString() + " " + std::to_string(i.width) + "x" +
                        std::to_string(i.height) + " " + std::to_string(i.colorDepth) + "-bit"
                  : "failed: " + i.status.reason;
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
