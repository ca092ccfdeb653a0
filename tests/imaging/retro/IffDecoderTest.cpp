// Amiga IFF: every plane count and mode we encode comes back pixel for pixel; damaged files
// give a reason.
#include "ExpectPixels.h"
#include "IffEncoder.h"

#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/RetroPalettes.h"

#include <gtest/gtest.h>

#include <array>

namespace mv::imaging::test {
namespace {

QList<QRgb> rampColours(int count)
{
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.append(qRgb((i * 37) & 0xFF, (i * 91 + 7) & 0xFF, (255 - i * 5) & 0xFF));
    return colours;
}

IffInput indexedInput(int planes, bool compress, bool mask)
{
    IffInput s;
    s.width = 37; // not a multiple of 16: rows carry padding
    s.height = 9;
    s.planes = planes;
    s.compress = compress;
    s.mask = mask;
    if (planes <= 8)
        s.colours = rampColours(1 << planes);
    s.value = [planes](int x, int y) { return std::uint32_t(patternValue(x, y, 1 << planes)); };
    return s;
}

// What an extra half-brite pixel shows: the first 32 colours, then the same halved; colours
// the table lacks are black.
QRgb halfBriteColour(const QList<QRgb>& table, int value)
{
    const QRgb c = (value & 31) < table.size() ? table[value & 31] : qRgb(0, 0, 0);
    return value < 32 ? c : qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2);
}

// A 4 x 2 HAM6 picture whose rows both hold codes, over a ramp of the given number of colours.
IffInput ham6(const std::array<std::uint32_t, 4>& codes, int colours, std::uint32_t modes)
{
    IffInput s = indexedInput(6, false, false);
    s.width = 4;
    s.height = 2;
    s.colours = rampColours(colours);
    s.viewModes = modes;
    s.value = [codes](int x, int) { return codes[size_t(x)]; };
    return s;
}

TEST(IffDecoder, IndexedPlanesPackedOrNotWithMask)
{
    for (int planes : { 1, 2, 4, 5, 8 }) {
        for (bool compress : { false, true }) {
            for (bool mask : { false, true }) {
                SCOPED_TRACE(testing::Message() << planes << " planes, packed " << compress << ", mask " << mask);
                const IffInput s = indexedInput(planes, compress, mask);
                const QByteArray file = encodeIff(s);
                ASSERT_TRUE(looksLikeIff(file));
                const DecodeResult r = decodeIff(file);
                EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) { return s.colours[int(s.value(x, y))]; }));
                EXPECT_EQ(r.colorDepth, planes == 1 ? 1 : planes <= 4 ? 4 : 8);
            }
        }
    }
}

TEST(IffDecoder, ChunkyPbmWithOddWidth)
{
    for (bool compress : { false, true }) {
        IffInput s = indexedInput(8, compress, false);
        s.chunky = true;
        s.width = 21;
        const QByteArray file = encodeIff(s);
        ASSERT_TRUE(looksLikeIff(file));
        const DecodeResult r = decodeIff(file);
        EXPECT_TRUE(samePixels(r, s.width, s.height, [&](int x, int y) { return s.colours[int(s.value(x, y))]; }));
        EXPECT_EQ(r.colorDepth, 8);
    }
}

TEST(IffDecoder, TrueColourHalfBriteHoldAndModifyAndGrey)
{
    IffInput deep = indexedInput(24, true, false);
    deep.colours.clear();
    deep.value = [](int x, int y) {
        return std::uint32_t((x * 40 & 0xFF) | (y * 25) << 8 | ((x + y) * 9 & 0xFF) << 16);
    };
    DecodeResult r = decodeIff(encodeIff(deep));
    EXPECT_TRUE(samePixels(r, deep.width, deep.height, [](int x, int y) { return qRgb(x * 40 & 0xFF, y * 25, (x + y) * 9 & 0xFF); }));
    EXPECT_EQ(r.colorDepth, 24);

    IffInput ehb = indexedInput(6, true, false);
    ehb.colours = rampColours(32);
    ehb.viewModes = 0x80;
    r = decodeIff(encodeIff(ehb));
    EXPECT_TRUE(samePixels(r, ehb.width, ehb.height,
                           [&](int x, int y) { return halfBriteColour(ehb.colours, int(ehb.value(x, y))); }));

    // HAM6: palette colour 3, then set blue to 5, red to 10, green to 15; next rows the same.
    const IffInput ham = ham6({ 3, 0x10 | 5, 0x20 | 10, 0x30 | 15 }, 16, 0x800);
    r = decodeIff(encodeIff(ham));
    const QRgb c3 = ham.colours[3];
    const QRgb want[4] = { c3, qRgb(qRed(c3), qGreen(c3), 5 * 17), qRgb(170, qGreen(c3), 85), qRgb(170, 255, 85) };
    EXPECT_TRUE(samePixels(r, 4, 2, [&](int x, int) { return want[x]; }));

    IffInput grey = indexedInput(2, false, false);
    grey.colours.clear();
    r = decodeIff(encodeIff(grey));
    EXPECT_TRUE(samePixels(r, grey.width, grey.height, [&](int x, int y) { return greyPalette(4)[int(grey.value(x, y))]; }));
}

TEST(IffDecoder, DamagedFilesAreRefused)
{
    const IffInput s = indexedInput(4, true, false);
    const QByteArray good = encodeIff(s);
    for (qsizetype cut : { qsizetype(0), qsizetype(11), qsizetype(20), qsizetype(40), good.size() / 2, good.size() - 3 }) {
        SCOPED_TRACE(cut);
        const DecodeResult r = decodeIff(good.first(cut));
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(decodeIff(good.first(good.size() - 3)).error, "the file is truncated");

    QByteArray huge = good;
    huge[20] = char(0x9C); // width 40000
    huge[21] = char(0x40);
    EXPECT_EQ(decodeIff(huge).error, "the picture is too large (40000 x 9)");

    QByteArray zero = good;
    zero[22] = zero[23] = 0;
    EXPECT_EQ(decodeIff(zero).error, "the picture has no pixels (37 x 0)");

    QByteArray method = good;
    method[30] = 7;
    EXPECT_EQ(decodeIff(method).error, "unsupported compression 7");

    QByteArray planes = good;
    planes[28] = 12;
    EXPECT_EQ(decodeIff(planes).error, "unsupported number of planes 12");

    QByteArray longChunk = good;
    longChunk[16] = char(0x7F); // BMHD length far past the end
    EXPECT_EQ(decodeIff(longChunk).error, "the file is truncated");

    EXPECT_FALSE(looksLikeIff(QByteArray("FORM\0\0\0\4ACBM", 12)));
    EXPECT_EQ(decodeIff(QByteArray("FORM\0\0\0\4ILBM", 12)).error, "the file has no picture header");
}

// A colour table shorter than the 32 half-brite colours, alone or with hold-and-modify (which
// has 16 base colours and no half-brite). Once the halving ran past the end of the HAM6 table.
TEST(IffDecoder, HalfBriteWithShortColourTable)
{
    IffInput ehb = indexedInput(6, true, false);
    ehb.colours = rampColours(8);
    ehb.viewModes = 0x80;
    DecodeResult r = decodeIff(encodeIff(ehb));
    EXPECT_TRUE(samePixels(r, ehb.width, ehb.height,
                           [&](int x, int y) { return halfBriteColour(ehb.colours, int(ehb.value(x, y))); }));

    // Colour 3, colour 12 (past the table: black), blue 5 on that, colour 2.
    const IffInput ham = ham6({ 3, 12, 0x10 | 5, 2 }, 8, 0x880);
    r = decodeIff(encodeIff(ham));
    const QRgb want[4] = { ham.colours[3], qRgb(0, 0, 0), qRgb(0, 0, 5 * 17), ham.colours[2] };
    EXPECT_TRUE(samePixels(r, 4, 2, [&](int x, int) { return want[x]; }));
}

} // namespace
} // namespace mv::imaging::test
