// WordPerfect graphics: version 1 and 2 bitmaps with their colours and run codes, the record walker,
// the choice of the largest bitmap, and damaged files.
#include "../common/Checks.h"
#include "WpgWriter.h"

#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgRecords.h"

namespace mv::imaging::test {
namespace {

// Rows 4 to 7 equal (row repeats), a run at the right, the pattern elsewhere.
WpgBitmapInput bitmap(int depth, int width = 29, int height = 12)
{
    WpgBitmapInput s {.width = width, .height = height, .depth = depth, .value = {}};
    s.value = [depth](int x, int y) {
        if (depth == 24)
            return std::uint32_t(x * 8 << 16 | y * 20 << 8 | (x + y) * 3);
        return std::uint32_t(y >= 4 && y < 8 ? 1
                             : x > 22        ? (1 << depth) - 1
                                             : patternValue(x, y, 1 << depth));
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

TEST(WpgDecoder, BitmapsOfBothVersionsWithDefaultAndStoredColours)
{
    const QList<std::pair<int, QList<QRgb>>> defaults = {{1, {qRgb(0, 0, 0), qRgb(255, 255, 255)}},
                                                         {2, cgaPalette(0, 1, true)},
                                                         {4, egaPalette()},
                                                         {8, greyRamp(256)}};
    for (const auto& [depth, colours] : defaults)
        for (bool type2 : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version 1, " << depth << " bits, type 2 " << type2);
            WpgBitmapInput s = bitmap(depth);
            s.type2 = type2;
            const QByteArray file = encodeWpg1({s});
            ASSERT_TRUE(looksLikeWpg(file));
            const DecodeResult r = decodeWpg(file);
            EXPECT_TRUE(
                samePixels(r, s.width, s.height, [&](int x, int y) { return colours[int(s.value(x, y))]; }));
            EXPECT_EQ(r.colorDepth, depth == 2 ? 4 : depth);
            // A colour map from entry 1 on: entry 0 keeps its default.
            const QList<QRgb> stored = someColours((1 << depth) - 1);
            EXPECT_TRUE(
                samePixels(decodeWpg(encodeWpg1({s}, stored, 1)), s.width, s.height, [&](int x, int y) {
                    const int v = int(s.value(x, y));
                    return v == 0 ? colours[0] : stored[v - 1];
                }));
        }
    for (int depth : {1, 2, 4, 8, 24})
        for (bool compress : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version 2, " << depth << " bits, packed " << compress);
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

TEST(WpgDecoder, LargestBitmapAndLongRecords)
{
    const WpgBitmapInput small = bitmap(8, 10, 3);
    WpgBitmapInput large = bitmap(8, 300, 120); // its record needs a 16-bit length
    large.value = [](int x, int y) { return std::uint32_t((x * 3 + y) % 256); };
    EXPECT_TRUE(samePixels(decodeWpg(encodeWpg1({small, large, small})), 300, 120,
                           [&](int x, int y) { return greyRamp(256)[int(large.value(x, y))]; }));

    WpgBitmapInput huge = bitmap(8, 400, 100); // literal-heavy: more than 32 KiB, a 32-bit length
    huge.value = [](int x, int y) { return std::uint32_t((x * 7 + y * 3) % 256); };
    const QByteArray bigFile = encodeWpg1({huge});
    wpg::WpgHeader header;
    ASSERT_TRUE(wpg::readWpgHeader(bigFile, &header).isEmpty());
    wpg::WpgRecordWalker walker(bigFile, header);
    wpg::WpgRecord record;
    QList<int> types;
    qsizetype bitmapLength = 0;
    while (walker.next(&record)) {
        types.append(record.type);
        bitmapLength = record.type == 0x0B ? record.body.size() : bitmapLength;
    }
    EXPECT_EQ(types, (QList<int> {0x0F, 0x05, 0x0B, 0x10}));
    EXPECT_GT(bitmapLength, 0x8000);
    EXPECT_TRUE(walker.error().isEmpty());
    EXPECT_TRUE(samePixels(decodeWpg(bigFile), 400, 100,
                           [&](int x, int y) { return greyRamp(256)[int(huge.value(x, y))]; }));
}

TEST(WpgDecoder, DamagedFilesAreRefused)
{
    const QByteArray good = encodeWpg1({bitmap(4)});
    ASSERT_LT(good.size(), 300);
    EXPECT_TRUE(cutsFail(decodeWpg, good, {0, 3, 15, 16, 30}, ""));
    // The header (16 bytes), the start record (8), the line (10), then the bitmap record at 34
    // with a one-byte length: its width, height and depth words, resolution, then the codes.
    ASSERT_NE(std::uint8_t(good[35]), 0xFF);
    constexpr qsizetype kBody = 36;
    const QByteArray v2 = encodeWpg2(bitmap(8));
    const qsizetype v2Data = v2.indexOf(QByteArray("\x1D\x00\x0C\x00\x04\x01", 6)) + 6;
    const struct {
        QByteArray file;
        const char* reason;
    } damaged[] = {
        {good.first(good.size() - 3), "the file is truncated"},
        {patched(good, {{34, 0x07}}), "no bitmap in this WPG file"}, // the bitmap record becomes a rectangle
        {patched(good, {{12, 1}}), "encrypted WPG files are not supported"},
        {patched(good, {{10, 3}}), "unsupported WPG version 3"},
        {patched(good, {{5, 0x10}}), "the first record lies outside the file"}, // first record at 4112
        {patched(good, {{kBody + 4, 5}}), "unsupported bitmap depth 5"},
        {patched(good, {{kBody, 0x40}, {kBody + 1, 0x9C}}), "the picture is too large (40000 x 12)"},
        // 20000 x 20000 of 8 bits claimed by a few hundred bytes.
        {patched(good,
                 {{kBody, 0x20}, {kBody + 1, 0x4E}, {kBody + 2, 0x20}, {kBody + 3, 0x4E}, {kBody + 4, 8}}),
         "the file is truncated"},
        {patched(good, {{kBody + 10, 0}}),
         "the bitmap data is damaged"}, // a row repeat as the very first code
        {patched(v2, {{v2Data, 0x7E}}), "unsupported compression code in the bitmap (XOR)"},
        {patched(v2, {{v2Data, 0x7D}, {v2Data + 1, 9}}), "the bitmap data is damaged"}, // sample size 9
    };
    for (const auto& d : damaged)
        EXPECT_EQ(decodeWpg(d.file).reasonText(), d.reason);
    EXPECT_FALSE(looksLikeWpg(patched(good, {{12, 1}})));
}

} // namespace
} // namespace mv::imaging::test
