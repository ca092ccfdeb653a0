// WordPerfect graphics: version 1 and 2 bitmaps with their colours and run codes, the record
// walker, the choice of the largest bitmap, and damaged files.
#include "ExpectPixels.h"
#include "WpgEncoder.h"

#include "imaging/retro/RetroPalettes.h"
#include "imaging/retro/WpgDecoder.h"
#include "imaging/retro/WpgRecords.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QList<QRgb> kGrey = greyPalette(256);

WpgBitmapInput bitmap(int depth, int width = 29, int height = 12)
{
    WpgBitmapInput s;
    s.width = width;
    s.height = height;
    s.depth = depth;
    if (depth == 24)
        s.value = [](int x, int y) { return std::uint32_t(x * 8 << 16 | y * 20 << 8 | (x + y) * 3); };
    else
        s.value = [depth](int x, int y) {
            return std::uint32_t(y >= 4 && y < 8 ? 1 : x > 22 ? (1 << depth) - 1 : patternValue(x, y, 1 << depth));
        };
    return s;
}

QList<QRgb> someColours(int count)
{
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.append(qRgb(i, 255 - i, (i * 7) & 0xFF));
    return colours;
}

TEST(WpgDecoder, Version1BitmapsWithDefaultAndStoredColours)
{
    struct Case { int depth; QList<QRgb> defaults; };
    const QList<Case> cases = {
        { 1, { qRgb(0, 0, 0), qRgb(255, 255, 255) } },
        { 2, cgaPalette(0, 1, true) },
        { 4, egaDefaultPalette() },
        { 8, greyPalette(256) },
    };
    for (const Case& c : cases) {
        for (bool type2 : { false, true }) {
            SCOPED_TRACE(testing::Message() << c.depth << " bits, type 2 " << type2);
            WpgBitmapInput s = bitmap(c.depth);
            s.type2 = type2;
            const QByteArray file = encodeWpg1({ s });
            ASSERT_TRUE(looksLikeWpg(file));
            DecodeResult r = decodeWpg(file);
            EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) { return c.defaults[int(s.value(x, y))]; }));
            EXPECT_EQ(r.colorDepth, c.depth == 2 ? 4 : c.depth);

            // A colour map from entry 1 on: entry 0 keeps its default.
            const QList<QRgb> stored = someColours((1 << c.depth) - 1);
            r = decodeWpg(encodeWpg1({ s }, stored, 1));
            EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) {
                const int v = int(s.value(x, y));
                return v == 0 ? c.defaults[0] : stored[v - 1];
            }));
        }
    }
}

TEST(WpgDecoder, Version2BitmapsRawAndPacked)
{
    for (int depth : { 1, 2, 4, 8, 24 }) {
        for (bool compress : { false, true }) {
            SCOPED_TRACE(testing::Message() << depth << " bits, packed " << compress);
            WpgBitmapInput s = bitmap(depth);
            s.compress = compress;
            const QList<QRgb> colours = depth == 24 ? QList<QRgb>() : someColours(1 << depth);
            const QByteArray file = encodeWpg2(s, colours);
            ASSERT_TRUE(looksLikeWpg(file));
            const DecodeResult r = decodeWpg(file);
            EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) {
                const std::uint32_t v = s.value(x, y);
                return depth == 24 ? QRgb(0xFF000000u | v) : colours[int(v)];
            }));
            EXPECT_EQ(r.colorDepth, depth == 2 ? 4 : depth);
        }
    }
}

TEST(WpgDecoder, LargestBitmapAndLongRecords)
{
    const WpgBitmapInput small = bitmap(8, 10, 3);
    WpgBitmapInput large = bitmap(8, 300, 120); // its record needs a 16-bit length
    large.value = [](int x, int y) { return std::uint32_t((x * 3 + y) % 256); };
    const QByteArray file = encodeWpg1({ small, large, small });
    const DecodeResult r = decodeWpg(file);
    EXPECT_TRUE(samePixels(r, 300, 120, [&](int x, int y) { return kGrey[int(large.value(x, y))]; }));

    WpgBitmapInput huge = bitmap(8, 400, 100); // literal-heavy: more than 32 KiB, a 32-bit length
    huge.value = [](int x, int y) { return std::uint32_t((x * 7 + y * 3) % 256); };
    const QByteArray bigFile = encodeWpg1({ huge });
    WpgHeader header;
    ASSERT_TRUE(readWpgHeader(bigFile, &header, nullptr));
    WpgRecordWalker walker(bigFile, header);
    WpgRecord record;
    QList<int> types;
    qsizetype bitmapLength = 0;
    while (walker.next(&record)) {
        types.append(record.type);
        if (record.type == 0x0B)
            bitmapLength = record.body.size();
    }
    EXPECT_EQ(types, (QList<int> { 0x0F, 0x05, 0x0B, 0x10 }));
    EXPECT_GT(bitmapLength, 0x8000);
    EXPECT_TRUE(walker.error().isEmpty());
    EXPECT_TRUE(samePixels(decodeWpg(bigFile), 400, 100, [&](int x, int y) { return kGrey[int(huge.value(x, y))]; }));
}

TEST(WpgDecoder, DamagedFilesAreRefused)
{
    const QByteArray good = encodeWpg1({ bitmap(4) });
    for (qsizetype cut : { qsizetype(0), qsizetype(3), qsizetype(15), qsizetype(16), qsizetype(30), good.size() - 3 }) {
        SCOPED_TRACE(cut);
        const DecodeResult r = decodeWpg(good.first(cut));
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(decodeWpg(good.first(good.size() - 3)).error, "the file is truncated");

    // The header (16 bytes), the start record (8), the line (10), then the bitmap record at 34
    // with a one-byte length: its width, height and depth words, resolution, then the codes.
    ASSERT_NE(std::uint8_t(good[35]), 0xFF);
    constexpr qsizetype kBody = 36;
    QByteArray noBitmap = good;
    noBitmap[34] = 0x07; // the bitmap record becomes a rectangle
    EXPECT_EQ(decodeWpg(noBitmap).error, "no bitmap in this WPG file");

    QByteArray encrypted = good;
    encrypted[12] = 1;
    EXPECT_EQ(decodeWpg(encrypted).error, "encrypted WPG files are not supported");
    EXPECT_FALSE(looksLikeWpg(encrypted));

    QByteArray version = good;
    version[10] = 3;
    EXPECT_EQ(decodeWpg(version).error, "unsupported WPG version 3");

    QByteArray offset = good;
    offset[5] = 0x10; // first record at 4112
    EXPECT_EQ(decodeWpg(offset).error, "the first record lies outside the file");

    QByteArray depth = good;
    depth[kBody + 4] = 5;
    EXPECT_EQ(decodeWpg(depth).error, "unsupported bitmap depth 5");

    QByteArray huge = good;
    huge[kBody] = char(0x40); // width 40000
    huge[kBody + 1] = char(0x9C);
    EXPECT_EQ(decodeWpg(huge).error, "the picture is too large (40000 x 12)");

    QByteArray plausible = good; // 20000 x 20000 of 8 bits claimed by a few hundred bytes
    plausible[kBody] = plausible[kBody + 2] = char(0x20);
    plausible[kBody + 1] = plausible[kBody + 3] = char(0x4E);
    plausible[kBody + 4] = 8;
    ASSERT_LT(good.size(), 300);
    EXPECT_EQ(decodeWpg(plausible).error, "the file is truncated");

    QByteArray repeat = good; // a row repeat as the very first code
    repeat[kBody + 10] = 0;
    EXPECT_EQ(decodeWpg(repeat).error, "the bitmap data is damaged");

    WpgBitmapInput v2 = bitmap(8);
    QByteArray xorCode = encodeWpg2(v2);
    const qsizetype data = xorCode.indexOf(QByteArray("\x1D\x00\x0C\x00\x04\x01", 6)) + 6;
    xorCode[data] = 0x7E;
    EXPECT_EQ(decodeWpg(xorCode).error, "unsupported compression code in the bitmap (XOR)");
    xorCode[data] = 0x7D;
    xorCode[data + 1] = 9;
    EXPECT_EQ(decodeWpg(xorCode).error, "the bitmap data is damaged");
}

} // namespace
} // namespace mv::imaging::test
