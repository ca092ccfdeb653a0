// Bare DIBs, Microsoft Paint, GEM IMG and Dr. Halo CUT: every layout comes back pixel for pixel;
// damaged files are refused with their reason; and the seeds of the whole pc family.
#include "../common/Seeds.h"
#include "Encoders.h"

#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"

namespace mv::imaging::test {
namespace {

int kept(int c, int width)
{
    return width >= 8 ? c : (c >> (8 - width)) * 255 / ((1 << width) - 1);
}

RgbPicture keptColours(RgbPicture p, const int widths[4], bool alpha)
{
    for (QRgb& c : p.pixels)
        c = qRgba(kept(qRed(c), widths[0]), kept(qGreen(c), widths[1]), kept(qBlue(c), widths[2]),
                  alpha ? kept(qAlpha(c), widths[3]) : 255);
    return p;
}

DibOptions options(int header, int bits, int compression, bool topDown = false)
{
    DibOptions o;
    o.headerSize = header, o.bits = bits, o.compression = compression, o.topDown = topDown;
    return o;
}

TEST(DibDecoder, DecodesPaletteDepthsAndRleEscapesPixelForPixel)
{
    const struct {
        const char* name;
        DibOptions options;
    } cases[] = {
        {"1 bit core header", options(12, 1, 0)},
        {"4 bits core header", options(12, 4, 0)},
        {"8 bits core header", options(12, 8, 0)},
        {"1 bit info header top-down", options(40, 1, 0, true)},
        {"4 bits info header", options(40, 4, 0)},
        {"8 bits V4 header", options(108, 8, 0)},
        {"8 bits V5 header top-down", options(124, 8, 0, true)},
        {"8 bits OS/2 2.x 64-byte header", options(64, 8, 0)},
        {"4 bits OS/2 2.x 16-byte header", options(16, 4, 0)},
        {"RLE8", options(40, 8, 1)},
        {"RLE8 top-down", options(40, 8, 1, true)},
        {"RLE4", options(40, 4, 2)},
        {"RLE4 OS/2", options(64, 4, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const IndexedPicture p = makeIndexed(37, 9, 1 << c.options.bits);
        EXPECT_TRUE(decodesTo(looksLikeDib, decodeDib, encodeDib(c.options, &p), c.options.bits, p));
    }
    // A short colour table: the used entries, then black.
    DibOptions shortTable = options(40, 8, 0);
    shortTable.coloursUsed = 20;
    const IndexedPicture p = makeIndexed(10, 3, 20);
    EXPECT_TRUE(samePixels(decodeDib(encodeDib(shortTable, &p)), p));
}

TEST(DibDecoder, DecodesTrueColourAndBitFieldsPixelForPixel)
{
    const struct {
        const char* name;
        DibOptions options;
        std::uint32_t masks[4];
        int widths[4];
    } cases[] = {
        {"16 bits 555", options(40, 16, 0), {}, {5, 5, 5, 0}},
        {"16 bits 565 bit fields", options(40, 16, 3), {0xF800, 0x07E0, 0x001F, 0}, {5, 6, 5, 0}},
        {"16 bits 4444 with alpha, V5", options(124, 16, 3), {0x0F00, 0x00F0, 0x000F, 0xF000}, {4, 4, 4, 4}},
        {"24 bits", options(40, 24, 0), {}, {8, 8, 8, 0}},
        {"24 bits top-down core header", options(12, 24, 0, true), {}, {8, 8, 8, 0}},
        {"32 bits", options(40, 32, 0), {}, {8, 8, 8, 0}},
        {"32 bits bit fields, BGR order", options(40, 32, 3), {0xFF, 0xFF00, 0xFF0000, 0}, {8, 8, 8, 0}},
        {"32 bits 10-bit fields", options(56, 32, 3), {0x3FF00000, 0xFFC00, 0x3FF, 0}, {8, 8, 8, 0}},
        {"32 bits with alpha, V4", options(108, 32, 3), {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {8, 8, 8, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DibOptions o = c.options;
        if (o.headerSize == 12)
            o.topDown = false; // a core header cannot say so
        std::copy(std::begin(c.masks), std::end(c.masks), o.masks);
        const bool alpha = c.masks[3] != 0;
        const RgbPicture p = keptColours(makeRgb(23, 8, alpha ? 4 : 0), c.widths, alpha);
        EXPECT_TRUE(decodesTo(looksLikeDib, decodeDib, encodeDib(o, nullptr, &p), o.bits, p));
    }
    // 4 x 3, bottom-up: delta over row 0, a run longer than the row, then end of bitmap.
    ByteWriter w;
    w.u32le(40).u32le(4).u32le(3).u16le(1).u16le(8).u32le(1).zeros(12).u32le(3).u32le(0);
    w.u32le(0x000000).u32le(0xFF0000).u32le(0x00FF00);
    w.u8(0).u8(2).u8(1).u8(1);             // delta: x 1, y 1
    w.u8(9).u8(1);                         // clipped at the row end
    w.u8(0).u8(0);                         // end of line
    w.u8(0).u8(3).u8(2).u8(1).u8(2).u8(0); // absolute run of 3, padded
    w.u8(0).u8(1);
    const DecodeResult r = decodeDib(w.data());
    const QRgb k = qRgb(0, 0, 0), red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
    const QRgb want[3][4] = {{green, red, green, k}, {k, red, red, red}, {k, k, k, k}}; // top row first
    EXPECT_TRUE(samePixels(r, 4, 3, [&](int x, int y) { return want[y][x]; }));
}

TEST(DibDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeDib(options(40, 8, 0), &p);
    const QByteArray rle = encodeDib(options(40, 8, 1), &p);
    EXPECT_TRUE(cutsFail(decodeDib, raw, {0, 20, 40, 40 + 1000, raw.size() - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeDib, rle, {40 + 1024, 40 + 1024 + 100}, "truncated"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 0, 41)), "unknown bitmap header size 41"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 16, 4)), "unsupported compression 4"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 16, 2)), "unsupported depth 8 for compression 2"));
    EXPECT_TRUE(failsWith(decodeDib(patched16(raw, 14, 7)), "unsupported depth 7"));
    EXPECT_TRUE(failsWith(decodeDib(patched16(raw, 12, 3)), "planes"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 4, 40000)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 8, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 8, 0x80000000u)), "too large"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 32, 100000)), "colour table is too large"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(patched32(raw, 4, 20000), 8, 20000)), "truncated"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(encodeDib(options(64, 8, 0), &p), 16, 3)),
                          "unsupported compression 3"));
    EXPECT_FALSE(looksLikeDib(QByteArray("BM") + raw));
    EXPECT_FALSE(looksLikeDib(patched16(raw, 12, 0)));
}

IndexedPicture blackAndWhite(int width, int height)
{
    IndexedPicture p = makeIndexed(width, height, 2);
    p.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return p;
}

TEST(MspDecoder, DecodesBothVersionsAndShortRowsAsWhite)
{
    for (int version : {1, 2})
        for (int width : {8, 29, 200}) {
            SCOPED_TRACE(testing::Message() << "version " << version << ", width " << width);
            const IndexedPicture p = blackAndWhite(width, 11);
            EXPECT_TRUE(decodesTo(looksLikeMsp, decodeMsp, encodeMsp(version, p), 1, p));
        }
    // Version 2, 16 x 2: row 0 has length 0, row 1 holds one byte of black only.
    ByteWriter w;
    w.bytes("LinS").u16le(16).u16le(2).zeros(24).u16le(0).u16le(2).u8(1).u8(0x00);
    const DecodeResult r = decodeMsp(w.data());
    EXPECT_TRUE(samePixels(
        r, 16, 2, [](int x, int y) { return y == 1 && x < 8 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
}

TEST(MspDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = blackAndWhite(64, 20);
    const QByteArray v1 = encodeMsp(1, p), v2 = encodeMsp(2, p);
    EXPECT_TRUE(cutsFail(decodeMsp, v1, {3}, "not a Microsoft Paint"));
    EXPECT_TRUE(cutsFail(decodeMsp, v1, {20, 32, 100, v1.size() - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeMsp, v2, {32, 32 + 39, 80, v2.size() - 1}, "truncated"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v2, 32, 60000)), "truncated"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v1, 4, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(patched16(v1, 4, 30000), 6, 30000)), "truncated"));
    EXPECT_FALSE(looksLikeMsp(QByteArray("DanN") + v1.mid(4)));
}

// A picture with equal lines in a row, so that vertical replication is used.
IndexedPicture withRepeats(int width, int height, int colours)
{
    IndexedPicture p = makeIndexed(width, height, colours);
    for (int y = 3; y < 7 && y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.index[size_t(y * width + x)] = p.at(x, 2);
    return p;
}

TEST(GemImgDecoder, DecodesPlanesAndPalettesAndClipsRunsAtTheLineEnd)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    const struct {
        const char* name;
        GemOptions options;
        QList<QRgb> standard; // empty: the XIMG palette of the picture
        int depth;
    } cases[] = {
        {"monochrome", {1, 2, false}, {white, black}, 1},
        {"monochrome, pattern length 1", {1, 1, false}, {white, black}, 1},
        {"2 planes, standard colours", {2, 2, false}, {white, qRgb(255, 0, 0), qRgb(0, 255, 0), black}, 4},
        {"4 planes XIMG", {4, 2, true}, {}, 4},
        {"8 planes XIMG, pattern length 3", {8, 3, true}, {}, 8},
        {"3 planes XIMG", {3, 2, true}, {}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IndexedPicture p = withRepeats(45, 12, 1 << c.options.planes);
        if (!c.standard.isEmpty())
            p.palette = c.standard;
        const QByteArray file = encodeGemImg(c.options, p);
        for (QRgb& colour : p.palette) { // 0..1000 keeps 8-bit steps only approximately
            auto back = [](int v) { return (v * 1000 / 255) * 255 / 1000; };
            colour = qRgb(back(qRed(colour)), back(qGreen(colour)), back(qBlue(colour)));
        }
        EXPECT_TRUE(decodesTo(looksLikeGemImg, decodeGemImg, file, c.depth, p));
    }
    // 8 x 2 monochrome: a solid run of 5 bytes for a 1-byte line, then a bit string.
    ByteWriter w;
    w.u16be(1).u16be(8).u16be(1).u16be(2).u16be(85).u16be(85).u16be(8).u16be(2);
    w.u8(0x85).u8(0x80).u8(1).u8(0x0F);
    const DecodeResult r = decodeGemImg(w.data());
    EXPECT_TRUE(samePixels(
        r, 8, 2, [](int x, int y) { return y == 0 || x >= 4 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
}

TEST(GemImgDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = withRepeats(64, 20, 16);
    const QByteArray good = encodeGemImg({4, 2, false}, p);
    EXPECT_TRUE(cutsFail(decodeGemImg, good, {0, 10, 16, 40, good.size() - 1}, "truncated"));
    // Data that stops inside a replication code must end the decode, not spin on it.
    EXPECT_TRUE(failsWith(decodeGemImg(good.left(16) + QByteArray(2, '\0')), "truncated"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 4, 9, true)), "unsupported number of planes 9"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 6, 0, true)), "unsupported pattern length 0"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 2, 4000, true)), "header length 4000"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 12, 40000, true)), "too large (40000 x 20)"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 14, 0, true)), "no pixels"));
    EXPECT_TRUE(
        failsWith(decodeGemImg(patched16(patched16(good, 12, 30000, true), 14, 30000, true)), "truncated"));
    EXPECT_FALSE(looksLikeGemImg(patched16(good, 0, 77, true)));
}

TEST(CutDecoder, DecodesWithAndWithoutPaletteShortRowsAndLongRuns)
{
    for (int maximum : {63, 255, 1023}) {
        SCOPED_TRACE(maximum);
        const IndexedPicture p = makeIndexed(150, 7, 200); // 200 triples cross a 512-byte block
        const QByteArray file = encodeCut(p);
        EXPECT_TRUE(looksLikeCut(file));
        const DecodeResult r = decodeCut(file, encodeHaloPalette(p.palette, maximum));
        EXPECT_EQ(r.colorDepth, 8);
        auto kept = [&](int c) { return (c * maximum / 255) * 255 / maximum; };
        EXPECT_TRUE(samePixels(r, 150, 7, [&](int x, int y) {
            const QRgb c = p.colour(x, y);
            return qRgb(kept(qRed(c)), kept(qGreen(c)), kept(qBlue(c)));
        }));
    }
    const IndexedPicture p = makeIndexed(30, 5, 256);
    const auto grey = [&](int x, int y) { return qRgb(p.at(x, y), p.at(x, y), p.at(x, y)); };
    EXPECT_TRUE(samePixels(decodeCut(encodeCut(p), {}), 30, 5, grey));
    EXPECT_TRUE(samePixels(decodeCut(encodeCut(p), "not a palette file"), 30, 5, grey));
    // Short rows keep index 0; long runs are clipped.
    ByteWriter w;
    w.u16le(4).u16le(2).u16le(0);
    w.u16le(3).u8(0x81).u8(9).u8(0);       // one pixel of 9, rest index 0
    w.u16le(4).u8(0x8A).u8(7).u8(1).u8(0); // a run of 10 clipped to 4
    const DecodeResult r = decodeCut(w.data(), {});
    EXPECT_TRUE(samePixels(r, 4, 2, [](int x, int y) {
        const int v = y == 0 ? (x == 0 ? 9 : 0) : 7;
        return qRgb(v, v, v);
    }));
    EXPECT_FALSE(looksLikeCut(w.data())); // the first row is not as wide as the picture
}

TEST(CutDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(60, 10, 256);
    const QByteArray good = encodeCut(p);
    const auto noPalette = [](QByteArrayView picture) { return decodeCut(picture, {}); };
    EXPECT_TRUE(cutsFail(noPalette, good, {0, 5, 6, 40, good.size() - 1}, "truncated"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 0, 40000), {}), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 2, 0), {}), "no pixels"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 6, 60000), {}), "truncated"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 2, 30000), {}), "truncated"));
    EXPECT_FALSE(looksLikeCut(patched16(good, 4, 1)));
    // A palette file cut short: the colours it holds, black for the rest.
    const QByteArray pal = encodeHaloPalette(p.palette, 255).left(40 + 6 * 3);
    const DecodeResult r = decodeCut(good, pal);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.color(2), p.palette[2]);
    EXPECT_EQ(r.image.color(3), qRgb(0, 0, 0));
}

// The CUT fuzz target reads the palette size from the first byte, in 16-byte blocks.
QByteArray cutSeed(const IndexedPicture& p, bool withPalette)
{
    QByteArray pal = withPalette ? encodeHaloPalette(p.palette, 63) : QByteArray();
    pal.append(QByteArray((16 - pal.size() % 16) % 16, '\0'));
    return char(pal.size() / 16) + encodeCut(p) + pal;
}

DecodeResult decodeCutSeed(QByteArrayView seed)
{
    const qsizetype palette = qsizetype(std::uint8_t(seed[0])) * 16;
    return decodeCut(seed.sliced(1, seed.size() - 1 - palette), seed.last(palette));
}

TEST(PcCorpus, SeedsDecodeAndAreWrittenOnRequest)
{
    const IndexedPicture mono = makeIndexed(19, 6, 2), sixteen = makeIndexed(21, 6, 16),
                         full = makeIndexed(17, 6, 256);
    const RgbPicture rgb = makeRgb(13, 5), rgba = makeRgb(13, 5, 4);
    const TargaOptions mapped {.type = 9, .depth = 8},
        trueRle {.type = 10, .depth = 32, .alphaBits = 8, .footer = true};
    const DibOptions rle4 {.bits = 4, .compression = 2}, core {.headerSize = 12, .bits = 8};
    const DibOptions fields {108, 16, 3, true, {0xF800, 0x07E0, 0x1F, 0}}; // 5-6-5 bit fields, top-down
    checkSeeds({{"pcx/mono.pcx", encodePcx({1, 1, true}, &mono), decodePcx},
                {"pcx/planes16.pcx", encodePcx({1, 4, true}, &sixteen), decodePcx},
                {"pcx/palette256.pcx", encodePcx({8, 1, true}, &full), decodePcx},
                {"pcx/rgb.pcx", encodePcx({8, 3, true}, nullptr, &rgb), decodePcx},
                {"targa/mapped-rle.tga", encodeTarga(mapped, &full), decodeTarga},
                {"targa/rgba-rle.tga", encodeTarga(trueRle, nullptr, &rgba), decodeTarga},
                {"targa/rgb.tga", encodeTarga({}, nullptr, &rgb), decodeTarga},
                {"sunraster/mono.ras", encodeSun({1, 1, false}, &mono), decodeSunRaster},
                {"sunraster/mapped-rle.ras", encodeSun({8, 2, true}, &full), decodeSunRaster},
                {"sunraster/rgb.ras", encodeSun({24, 3, false}, nullptr, &rgb), decodeSunRaster},
                {"dib/rle8.dib", encodeDib({40, 8, 1}, &full), decodeDib},
                {"dib/rle4.dib", encodeDib(rle4, &sixteen), decodeDib},
                {"dib/fields565.dib", encodeDib(fields, nullptr, &rgb), decodeDib},
                {"dib/core.dib", encodeDib(core, &full), decodeDib},
                {"msp/v1.msp", encodeMsp(1, mono), decodeMsp},
                {"msp/v2.msp", encodeMsp(2, mono), decodeMsp},
                {"gemimg/mono.img", encodeGemImg({1, 2, false}, mono), decodeGemImg},
                {"gemimg/ximg16.img", encodeGemImg({4, 2, true}, sixteen), decodeGemImg},
                {"cut/with-palette.bin", cutSeed(full, true), decodeCutSeed},
                {"cut/grey.bin", cutSeed(full, false), decodeCutSeed}},
               8192);
}

} // namespace
} // namespace mv::imaging::test
