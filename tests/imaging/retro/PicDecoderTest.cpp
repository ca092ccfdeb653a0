// PC Paint / Pictor: packed and planar layouts, stored and default palettes, raw and run-length
// blocks, bottom-up rows; damaged files give a reason.
#include "ExpectPixels.h"
#include "PicEncoder.h"

#include "imaging/retro/PicDecoder.h"
#include "imaging/retro/RetroPalettes.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QList<QRgb> kGrey = greyPalette(256);

// PC Paint's CGA colour sets use the text colours 3, 5, 7 (set 0), 2, 4, 6 (set 1) or
// 3, 4, 7 (set 2, the default), 8 higher for sets 3 to 5.
QList<QRgb> cgaSet(std::initializer_list<int> indices)
{
    QList<QRgb> colours;
    for (int i : indices)
        colours.append(egaDefaultPalette()[i]);
    return colours;
}

PicInput input(int bits, int planes, bool compress)
{
    const int colours = 1 << (bits * planes);
    return { .width = 27, .height = 13, .bits = bits, .planes = planes, .compress = compress,
             .blockLimit = 40, // several blocks, runs cut at block ends
             .value = [colours](int x, int y) { return x > 20 ? colours - 1 : patternValue(x, y, colours); } };
}

QByteArray vgaPalette(int count)
{
    QByteArray p;
    for (int i = 0; i < count; ++i)
        p.append(char(i % 64)).append(char((i * 3) % 64)).append(char(63 - i % 64));
    return p;
}

TEST(PicDecoder, DefaultPalettesForEveryLayout)
{
    struct Case { int bits; int planes; QList<QRgb> colours; };
    const QList<Case> cases = {
        { 1, 1, { qRgb(0, 0, 0), qRgb(255, 255, 255) } },
        { 2, 1, cgaSet({ 0, 3, 4, 7 }) },
        { 4, 1, egaDefaultPalette() },
        { 1, 4, egaDefaultPalette() },
        { 1, 2, cgaSet({ 0, 3, 4, 7 }) },
        { 8, 1, greyPalette(256) },
    };
    for (const Case& c : cases) {
        for (bool compress : { false, true }) {
            SCOPED_TRACE(testing::Message() << c.planes << " x " << c.bits << " bits, packed " << compress);
            const PicInput s = input(c.bits, c.planes, compress);
            const QByteArray file = encodePic(s);
            ASSERT_TRUE(looksLikePic(file));
            const DecodeResult r = decodePic(file);
            EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) { return c.colours[s.value(x, y)]; }));
            const int total = c.bits * c.planes;
            EXPECT_EQ(r.colorDepth, total == 1 ? 1 : total <= 4 ? 4 : 8);
        }
    }
}

TEST(PicDecoder, StoredPalettes)
{
    PicInput vga = input(8, 1, true);
    vga.paletteType = 4;
    vga.palette = vgaPalette(256);
    DecodeResult r = decodePic(encodePic(vga));
    EXPECT_TRUE(samePixels(r, vga.width, vga.height, [&](int x, int y) {
        const int i = vga.value(x, y);
        return qRgb(scale6to8(i % 64), scale6to8(i * 3 % 64), scale6to8(63 - i % 64));
    }));

    PicInput ega = input(1, 4, true);
    ega.paletteType = 3;
    for (int i = 0; i < 16; ++i)
        ega.palette.append(char(63 - i * 4));
    r = decodePic(encodePic(ega));
    EXPECT_TRUE(samePixels(r, ega.width, ega.height, [&](int x, int y) {
        return egaRegisterColour(std::uint8_t(63 - ega.value(x, y) * 4));
    }));
    EXPECT_EQ(egaRegisterColour(0x3F), qRgb(255, 255, 255));
    EXPECT_EQ(egaRegisterColour(0x04), qRgb(0xAA, 0, 0));
    EXPECT_EQ(egaRegisterColour(0x38), qRgb(0x55, 0x55, 0x55));

    PicInput cga = input(2, 1, false);
    cga.paletteType = 1;
    for (int set = 0; set < 7; ++set) {
        SCOPED_TRACE(set);
        cga.palette = QByteArray(1, char(set)) + QByteArray(1, char(0x01)); // blue background
        r = decodePic(encodePic(cga));
        const int bright = set >= 3 && set <= 5 ? 8 : 0;
        const QList<QList<QRgb>> sets = { cgaSet({ 1, 3 + bright, 5 + bright, 7 + bright }),
                                          cgaSet({ 1, 2 + bright, 4 + bright, 6 + bright }),
                                          cgaSet({ 1, 3 + bright, 4 + bright, 7 + bright }) };
        const QList<QRgb> colours = sets[set > 5 ? 2 : set % 3]; // an unknown set: the default
        EXPECT_TRUE(samePixels(r, cga.width, cga.height, [&](int x, int y) { return colours[cga.value(x, y)]; }));
    }
}

TEST(PicDecoder, LongRunsAndMarkerBytes)
{
    PicInput s = input(8, 1, true);
    s.width = 700;
    s.height = 3;
    s.blockLimit = 2100;
    s.marker = 7;
    s.value = [](int x, int y) { return y == 1 ? 7 : x < 600 ? 9 : x % 11; };
    const DecodeResult r = decodePic(encodePic(s));
    EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) { return kGrey[s.value(x, y)]; }));
}

TEST(PicDecoder, DamagedFilesAreRefused)
{
    const QByteArray good = encodePic(input(4, 1, true));
    for (qsizetype cut : { qsizetype(0), qsizetype(10), qsizetype(17), qsizetype(18), qsizetype(22), good.size() - 1 }) {
        SCOPED_TRACE(cut);
        const DecodeResult r = decodePic(good.first(cut));
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(decodePic(good.first(good.size() - 1)).error, "the file is truncated");
    const QByteArray raw = encodePic(input(4, 1, false));
    EXPECT_EQ(decodePic(raw.first(raw.size() - 1)).error, "the file is truncated");

    QByteArray huge = good;
    huge[2] = char(0x40);
    huge[3] = char(0x9C);
    EXPECT_EQ(decodePic(huge).error, "the picture is too large (40000 x 13)");

    QByteArray big = good; // plausible size, far more pixels than the blocks can give
    big[2] = big[3] = big[4] = big[5] = char(0x70);
    EXPECT_EQ(decodePic(big).error, "the file is truncated");

    QByteArray layout = good;
    layout[10] = 0x23; // 3 planes of 3 bits
    EXPECT_EQ(decodePic(layout).error, "unsupported pixel layout (3 planes of 3 bits)");

    QByteArray old = good;
    old[11] = 0;
    EXPECT_EQ(decodePic(old).error, "unsupported PC Paint 1 picture");

    QByteArray palette = good;
    palette[15] = char(0xFF); // palette length past the end
    EXPECT_EQ(decodePic(palette).error, "the file is truncated");

    QByteArray block = good;
    block[19] = 2; // block size below its own header
    block[20] = 0;
    EXPECT_EQ(decodePic(block).error, "a block of the picture data is damaged");

    EXPECT_FALSE(looksLikePic(QByteArray("\x34\x12", 2)));
}

} // namespace
} // namespace mv::imaging::test
