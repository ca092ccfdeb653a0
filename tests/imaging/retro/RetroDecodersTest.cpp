// The retro family: Amiga IFF, PC Paint / Pictor, MacPaint, PFS ART and Slow Scan TV. Every
// layout and mode comes back pixel for pixel; damaged files are refused with their reason; and
// the seeds of their fuzz targets.
#include "../common/Checks.h"
#include "RetroEncoders.h"

#include "imaging/base/Palettes.h"
#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"

namespace mv::imaging::test {

namespace {

const QRgb kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);

QList<QRgb> rampColours(int count)
{
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.append(qRgb((i * 37) & 0xFF, (i * 91 + 7) & 0xFF, (255 - i * 5) & 0xFF));
    return colours;
}

// 37 pixels wide (not a multiple of 16: rows carry padding), 9 high.
IffInput indexedInput(int planes, bool compress, bool mask)
{
    IffInput s {.width = 37, .height = 9, .planes = planes, .compress = compress, .mask = mask, .value = {}};
    s.colours = planes <= 8 ? rampColours(1 << planes) : QList<QRgb>();
    s.value = [planes](int x, int y) { return std::uint32_t(patternValue(x, y, 1 << planes)); };
    return s;
}

// A 4 x 2 picture of 6 planes, each row the codes, over a ramp of colours, in the view modes.
IffInput sixPlanes(const std::array<std::uint32_t, 4>& codes, int colours, std::uint32_t modes)
{
    IffInput s {.width = 4, .height = 2, .planes = 6, .viewModes = modes, .value = {}};
    s.colours = rampColours(colours);
    s.value = [codes](int x, int) { return codes[size_t(x)]; };
    return s;
}

TEST(IffDecoder, IndexedPlanesPackedOrNotWithMaskChunkyPbmTrueColourAndGrey)
{
    for (int planes : {1, 2, 4, 5, 8})
        for (bool compress : {false, true})
            for (bool mask : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << planes << " planes, packed " << compress << ", mask " << mask);
                const IffInput s = indexedInput(planes, compress, mask);
                const int depth = planes == 1 ? 1 : planes <= 4 ? 4 : 8;
                EXPECT_TRUE(decodesTo(looksLikeIff, decodeIff, encodeIff(s), depth, s));
            }
    for (bool compress : {false, true}) { // Deluxe Paint's chunky PBM, odd width
        IffInput s = indexedInput(8, compress, false);
        s.chunky = true;
        s.width = 21;
        EXPECT_TRUE(decodesTo(looksLikeIff, decodeIff, encodeIff(s), 8, s));
    }
    IffInput deep = indexedInput(24, true, false);
    deep.value = [](int x, int y) {
        return std::uint32_t((x * 40 & 0xFF) | (y * 25) << 8 | ((x + y) * 9 & 0xFF) << 16);
    };
    const DecodeResult r = decodeIff(encodeIff(deep));
    EXPECT_TRUE(
        samePixels(r, 37, 9, [](int x, int y) { return qRgb(x * 40 & 0xFF, y * 25, (x + y) * 9 & 0xFF); }));
    EXPECT_EQ(r.colorDepth, 24);
    // HAM6: palette colour 3, then set blue to 5, red to 10, green to 15; the next row the same.
    const IffInput ham = sixPlanes({3, 0x10 | 5, 0x20 | 10, 0x30 | 15}, 16, 0x800);
    const QRgb c3 = ham.colours[3];
    const QRgb want[4] = {c3, qRgb(qRed(c3), qGreen(c3), 5 * 17), qRgb(170, qGreen(c3), 85),
                          qRgb(170, 255, 85)};
    EXPECT_TRUE(samePixels(decodeIff(encodeIff(ham)), 4, 2, [&](int x, int) { return want[x]; }));
    IffInput grey = indexedInput(2, false, false);
    grey.colours.clear();
    EXPECT_TRUE(samePixels(decodeIff(encodeIff(grey)), 37, 9,
                           [&](int x, int y) { return greyRamp(4)[int(grey.value(x, y))]; }));
}

// Extra half-brite with a full or a short colour table (colours the table lacks are black), and
// hold-and-modify with a short one. Once the halving ran past the end of the HAM6 table.
TEST(IffDecoder, HalfBriteWithShortColourTable)
{
    for (int colours : {32, 8}) {
        IffInput ehb = indexedInput(6, true, false);
        ehb.colours = rampColours(colours);
        ehb.viewModes = 0x80;
        EXPECT_TRUE(samePixels(decodeIff(encodeIff(ehb)), 37, 9, [&](int x, int y) {
            const int v = int(ehb.value(x, y));
            const QRgb c = (v & 31) < colours ? ehb.colours[v & 31] : kBlack;
            return v < 32 ? c : qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2);
        })) << colours;
    }
    // Colour 3, colour 12 (past the table: black), blue 5 on that, colour 2.
    const IffInput ham = sixPlanes({3, 12, 0x10 | 5, 2}, 8, 0x880);
    const QRgb want[4] = {ham.colours[3], kBlack, qRgb(0, 0, 5 * 17), ham.colours[2]};
    EXPECT_TRUE(samePixels(decodeIff(encodeIff(ham)), 4, 2, [&](int x, int) { return want[x]; }));
}

struct Damaged {
    QByteArray file;
    const char* reason;
};

TEST(IffDecoder, DamagedFilesAreRefused)
{
    const QByteArray good = encodeIff(indexedInput(4, true, false));
    EXPECT_TRUE(cutsFail(decodeIff, good, {0, 11, 20, 40, good.size() / 2}, ""));
    const Damaged damaged[] = {
        {good.first(good.size() - 3), "the file is truncated"},
        {patched(good, {{20, 0x9C}, {21, 0x40}}), "the picture is too large (40000 x 9)"}, // width
        {patched(good, {{22, 0}, {23, 0}}), "the picture has no pixels (37 x 0)"},
        {patched(good, {{30, 7}}), "unsupported compression 7"},
        {patched(good, {{28, 12}}), "unsupported number of planes 12"},
        {patched(good, {{16, 0x7F}}), "the file is truncated"}, // BMHD length far past the end
        {QByteArray("FORM\0\0\0\4ILBM", 12), "the file has no picture header"},
    };
    for (const auto& d : damaged)
        EXPECT_EQ(decodeIff(d.file).reasonText(), d.reason);
    EXPECT_FALSE(looksLikeIff(QByteArray("FORM\0\0\0\4ACBM", 12)));
}

// PC Paint's CGA colour sets use the text colours 3, 5, 7 (set 0), 2, 4, 6 (set 1) or 3, 4, 7
// (set 2, the default), 8 higher for sets 3 to 5.
QList<QRgb> cgaSet(std::initializer_list<int> indices)
{
    QList<QRgb> colours;
    for (int i : indices)
        colours.append(egaPalette()[i]);
    return colours;
}

// Several blocks, runs cut at block ends.
PicInput picInput(int bits, int planes, bool compress)
{
    PicInput s {.width = 27, .height = 13, .bits = bits, .planes = planes, .compress = compress, .value = {}};
    s.blockLimit = 40;
    s.value = [colours = 1 << (bits * planes)](int x, int y) {
        return x > 20 ? colours - 1 : patternValue(x, y, colours);
    };
    return s;
}

TEST(PicDecoder, DefaultAndStoredPalettesLongRunsAndMarkerBytes)
{
    const struct {
        int bits, planes;
        QList<QRgb> colours;
    } cases[] = {{1, 1, {kBlack, kWhite}}, {2, 1, cgaSet({0, 3, 4, 7})}, {4, 1, egaPalette()},
                 {1, 4, egaPalette()},     {1, 2, cgaSet({0, 3, 4, 7})}, {8, 1, greyRamp(256)}};
    for (const auto& c : cases)
        for (bool compress : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.planes << " x " << c.bits << " bits, packed " << compress);
            const PicInput s = picInput(c.bits, c.planes, compress);
            const QByteArray file = encodePic(s);
            ASSERT_TRUE(looksLikePic(file));
            const DecodeResult r = decodePic(file);
            EXPECT_TRUE(
                samePixels(r, s.width, s.height, [&](int x, int y) { return c.colours[s.value(x, y)]; }));
            const int total = c.bits * c.planes;
            EXPECT_EQ(r.colorDepth, total == 1 ? 1 : total <= 4 ? 4 : 8);
        }
    PicInput vga = picInput(8, 1, true);
    vga.paletteType = 4;
    for (int i = 0; i < 256; ++i)
        vga.palette.append(char(i % 64)).append(char((i * 3) % 64)).append(char(63 - i % 64));
    EXPECT_TRUE(samePixels(decodePic(encodePic(vga)), 27, 13, [&](int x, int y) {
        const int i = vga.value(x, y);
        return qRgb(scale6to8(i % 64), scale6to8(i * 3 % 64), scale6to8(63 - i % 64));
    }));
    PicInput ega = picInput(1, 4, true);
    ega.paletteType = 3;
    for (int i = 0; i < 16; ++i)
        ega.palette.append(char(63 - i * 4));
    EXPECT_TRUE(samePixels(decodePic(encodePic(ega)), 27, 13, [&](int x, int y) {
        return egaRegisterColour(std::uint8_t(63 - ega.value(x, y) * 4));
    }));
    EXPECT_EQ(egaRegisterColour(0x38), qRgb(0x55, 0x55, 0x55)); // the secondary bits
    PicInput cga = picInput(2, 1, false);
    cga.paletteType = 1;
    for (int set = 0; set < 7; ++set) {
        cga.palette = QByteArray(1, char(set)) + QByteArray(1, char(0x01)); // blue background
        const int bright = set >= 3 && set <= 5 ? 8 : 0;
        const QList<QList<QRgb>> sets = {cgaSet({1, 3 + bright, 5 + bright, 7 + bright}),
                                         cgaSet({1, 2 + bright, 4 + bright, 6 + bright}),
                                         cgaSet({1, 3 + bright, 4 + bright, 7 + bright})};
        const QList<QRgb> colours = sets[set > 5 ? 2 : set % 3]; // an unknown set: the default
        EXPECT_TRUE(samePixels(decodePic(encodePic(cga)), 27, 13, [&](int x, int y) {
            return colours[cga.value(x, y)];
        })) << set;
    }
    // Runs longer than 255 (a 16-bit count), and the marker as a pixel value.
    PicInput s = picInput(8, 1, true);
    s.width = 700, s.height = 3, s.blockLimit = 2100, s.marker = 7;
    s.value = [](int x, int y) { return y == 1 ? 7 : x < 600 ? 9 : x % 11; };
    EXPECT_TRUE(samePixels(decodePic(encodePic(s)), 700, 3,
                           [&](int x, int y) { return greyRamp(256)[s.value(x, y)]; }));
}

TEST(PicDecoder, DamagedFilesAreRefused)
{
    const QByteArray good = encodePic(picInput(4, 1, true)), raw = encodePic(picInput(4, 1, false));
    EXPECT_TRUE(cutsFail(decodePic, good, {0, 10, 17, 18, 22}, ""));
    const Damaged damaged[] = {
        {good.first(good.size() - 1), "the file is truncated"},
        {raw.first(raw.size() - 1), "the file is truncated"},
        {patched(good, {{2, 0x40}, {3, 0x9C}}), "the picture is too large (40000 x 13)"},
        // A plausible size, far more pixels than the blocks can give.
        {patched(good, {{2, 0x70}, {3, 0x70}, {4, 0x70}, {5, 0x70}}), "the file is truncated"},
        {patched(good, {{10, 0x23}}), "unsupported pixel layout (3 planes of 3 bits)"},
        {patched(good, {{11, 0}}), "unsupported PC Paint 1 picture"},
        {patched(good, {{15, 0xFF}}), "the file is truncated"},                        // palette past the end
        {patched(good, {{19, 2}, {20, 0}}), "a block of the picture data is damaged"}, // below its own header
    };
    for (const auto& d : damaged)
        EXPECT_EQ(decodePic(d.file).reasonText(), d.reason);
    EXPECT_FALSE(looksLikePic(QByteArray("\x34\x12", 2)));
}

bool drawing(int x, int y)
{
    return patternValue(x, y, 3) == 1 || (y > 600 && x > 500);
}

TEST(MacPaintDecoder, WithAndWithoutMacBinaryAndCutShort)
{
    for (bool macBinary : {false, true}) {
        const QByteArray file = encodeMacPaint(drawing, macBinary);
        EXPECT_EQ(looksLikeMacPaint(file), macBinary);
        const DecodeResult r = decodeMacPaint(file);
        EXPECT_TRUE(samePixels(r, 576, 720, [](int x, int y) { return drawing(x, y) ? kBlack : kWhite; }))
            << macBinary;
        EXPECT_EQ(r.colorDepth, 1);
    }
    const QByteArray file = encodeMacPaint(drawing, true);
    // Cut anywhere, or a MacBinary data fork length shorter than the pixels: they are cut there.
    for (const QByteArray& damaged :
         {file.first(0), file.first(100), file.first(600), file.first(700), file.first(3000),
          file.first(file.size() - 1), patched(file, {{85, 0}, {86, 2}})})
        EXPECT_EQ(decodeMacPaint(damaged).reasonText(), "the file is truncated") << damaged.size();
    EXPECT_FALSE(looksLikeMacPaint(QByteArray(file).replace(65, 4, "TEXT")));
}

TEST(ArtDecoder, StandardAndHighResolutionAndDamage)
{
    const auto art = [](int x, int y) { return (x + 2 * y) % 5 == 0 || y == 3; };
    const auto expected = [&](int x, int y) { return art(x, y) ? kWhite : kBlack; };
    const QByteArray standard = encodeArt(45, 11, art), high = encodeArtHighRes(45, 11, 1, art);
    EXPECT_TRUE(looksLikeArt(standard));
    const DecodeResult r = decodeArt(standard);
    EXPECT_TRUE(samePixels(r, 45, 11, expected));
    EXPECT_EQ(r.colorDepth, 1);
    for (int pad : {0, 1, 2}) {
        const QByteArray file = encodeArtHighRes(45, 11, pad, art);
        EXPECT_TRUE(looksLikeArt(file));
        EXPECT_TRUE(samePixels(decodeArt(file), 45, 11, expected)) << pad;
    }
    EXPECT_FALSE(looksLikeArt(standard + "x")); // strict: exactly the size the header says
    EXPECT_TRUE(decodeArt(standard + "x").ok());
    EXPECT_FALSE(looksLikeArt(QByteArray(4, '\0')));
    EXPECT_TRUE(cutsFail(decodeArt, standard, {0, 5, 8, 20}, ""));
    const Damaged damaged[] = {
        {standard.first(standard.size() - 1), "the file is truncated"},
        {patched(standard, {{2, 0}, {3, 0}}), "the picture has no pixels (-3 x 11)"}, // right edge 0
        {patched(standard, {{6, 0x40}, {7, 0x9C}}), "the picture is too large (45 x 40000)"},
        {high.first(high.size() - 2), "the file is truncated"},
        {high + QByteArray("\x02\x01\x01\x01", 4), "the rows do not have a whole number of bytes"},
    };
    for (const auto& d : damaged)
        EXPECT_EQ(decodeArt(d.file).reasonText(), d.reason);
}

TEST(HrzDecoder, SixBitColoursAndExactSize)
{
    const auto rgb6 = [](int x, int y) {
        return std::array<std::uint8_t, 3> {std::uint8_t(x % 64), std::uint8_t(y % 64),
                                            std::uint8_t((x + y) % 64)};
    };
    const QByteArray file = encodeHrz(rgb6);
    ASSERT_EQ(file.size(), 184320);
    EXPECT_TRUE(looksLikeHrz(file));
    const DecodeResult r = decodeHrz(file);
    EXPECT_TRUE(samePixels(r, 256, 240, [&](int x, int y) {
        const auto c = rgb6(x, y);
        return qRgb(scale6to8(c[0]), scale6to8(c[1]), scale6to8(c[2]));
    }));
    EXPECT_EQ(r.colorDepth, 24);
    EXPECT_FALSE(looksLikeHrz(file.first(file.size() - 1)));
    EXPECT_EQ(decodeHrz(file.first(file.size() - 1)).reasonText(), "the file is truncated");
    EXPECT_FALSE(decodeHrz(file + "x").ok());
}

} // namespace
} // namespace mv::imaging::test
