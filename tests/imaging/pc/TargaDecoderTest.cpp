#include "DecodeChecks.h"
#include "TargaEncoder.h"

#include "imaging/pc/TargaDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

struct TargaCase {
    const char* name;
    TargaOptions options;
    int depth;
};

TargaOptions with(int type, int depth, auto change)
{
    TargaOptions o;
    o.type = type;
    o.depth = depth;
    change(o);
    return o;
}
auto same = [](TargaOptions&) {};

TEST(TargaDecoder, DecodesEveryTypePixelForPixel)
{
    const TargaCase cases[] = {
        {"mapped", with(1, 8, same), 8},
        {"mapped rle, 16-bit map from entry 10", with(9, 8, [](TargaOptions& o) { o.mapEntryBits = 16, o.mapFirst = 10; }), 8},
        {"mapped, 32-bit map with alpha", with(1, 8, [](TargaOptions& o) { o.mapEntryBits = 32, o.alphaBits = 8; }), 8},
        {"mapped, 15-bit map, image id", with(1, 8, [](TargaOptions& o) { o.mapEntryBits = 15, o.id = "hello"; }), 8},
        {"true colour 24", with(2, 24, same), 24},
        {"true colour 24 top-down", with(2, 24, [](TargaOptions& o) { o.topDown = true; }), 24},
        {"true colour 24 right-to-left", with(2, 24, [](TargaOptions& o) { o.rightToLeft = true; }), 24},
        {"true colour 32 with alpha", with(2, 32, [](TargaOptions& o) { o.alphaBits = 8; }), 32},
        {"true colour 32 rle across rows, footer", with(10, 32, [](TargaOptions& o) { o.alphaBits = 8, o.rleAcrossRows = true, o.footer = true; }), 32},
        {"true colour 24 rle", with(10, 24, same), 24},
        {"true colour 16 with alpha bit", with(2, 16, [](TargaOptions& o) { o.alphaBits = 1; }), 16},
        {"true colour 15 rle", with(10, 15, same), 16},
        {"grey", with(3, 8, same), 8},
        {"grey rle top-down", with(11, 8, [](TargaOptions& o) { o.topDown = true; }), 8},
        {"grey and alpha", with(3, 16, [](TargaOptions& o) { o.alphaBits = 8; }), 16},
    };
    for (const TargaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TargaOptions& o = c.options;
        const int kind = o.type & 7;
        IndexedPicture indexed = makeIndexed(29, 7, kind == 1 ? 200 : 256);
        const bool alpha = o.alphaBits > 0;
        for (QRgb& colour : indexed.palette) {
            if (o.mapEntryBits <= 16)
                colour = to555(RgbPicture{1, 1, {colour}}).pixels[0];
            if (alpha)
                colour = qRgba(qRed(colour), qGreen(colour), qBlue(colour), qGreen(colour));
        }
        RgbPicture rgb = makeRgb(29, 7, alpha ? (o.depth == 16 && kind == 2 ? 2 : 7) : 0);
        if (o.depth <= 16 && kind == 2)
            rgb = to555(rgb);
        if (kind == 3)
            for (QRgb& colour : rgb.pixels)
                colour = qRgba(qRed(colour), qRed(colour), qRed(colour), qAlpha(colour));
        const bool fromIndex = kind == 1 || (kind == 3 && o.depth == 8);
        const QByteArray file = encodeTarga(o, fromIndex ? &indexed : nullptr, fromIndex ? nullptr : &rgb);
        EXPECT_TRUE(looksLikeTarga(file));
        const DecodeResult r = decodeTarga(file);
        EXPECT_EQ(r.colorDepth, c.depth);
        EXPECT_TRUE(samePixels(r, 29, 7, [&](int x, int y) {
            if (kind == 3 && o.depth == 8)
                return qRgb(indexed.at(x, y), indexed.at(x, y), indexed.at(x, y));
            return fromIndex ? indexed.colour(x, y) : rgb.at(x, y);
        }));
    }
}

TEST(TargaDecoder, AllZeroAlphaIsShownOpaque)
{
    RgbPicture p = makeRgb(8, 3);
    for (QRgb& c : p.pixels)
        c &= 0x00ffffffu;
    const DecodeResult r = decodeTarga(encodeTarga(with(2, 32, [](TargaOptions& o) { o.alphaBits = 8; }), nullptr, &p));
    EXPECT_TRUE(samePixels(r, 8, 3, [&](int x, int y) { return p.at(x, y) | 0xff000000u; }));
    EXPECT_FALSE(r.image.hasAlphaChannel());
}

TEST(TargaDecoder, RefusesDamagedFiles)
{
    const RgbPicture p = makeRgb(30, 10);
    const QByteArray raw = encodeTarga(with(2, 24, same), nullptr, &p);
    const QByteArray rle = encodeTarga(with(10, 24, same), nullptr, &p);
    for (qsizetype cut : {0, 10, 17, 18, 400, 18 + 900 - 1})
        EXPECT_TRUE(failsWith(decodeTarga(raw.left(cut)), "truncated")) << cut;
    for (qsizetype cut : {qsizetype(18), qsizetype(200), rle.size() - 1})
        EXPECT_TRUE(failsWith(decodeTarga(rle.left(cut)), "truncated")) << cut;
    EXPECT_FALSE(looksLikeTarga(raw.left(500)));

    QByteArray bad = raw;
    bad[2] = 5;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported Targa type 5"));
    bad[2] = 32;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported compression 32"));
    bad = raw;
    bad[16] = 20;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported depth 20"));
    EXPECT_FALSE(looksLikeTarga(bad));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(raw, 12, 40000)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(raw, 14, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(rle, 12, 30000)), "truncated"));
    // A colour map that runs past the end of the file.
    const IndexedPicture mapped = makeIndexed(4, 4, 16);
    EXPECT_TRUE(failsWith(decodeTarga(patched16(encodeTarga(with(1, 8, same), &mapped), 5, 5000)), "truncated"));
    EXPECT_FALSE(looksLikeTarga(QByteArray("\x0A\x05\x01\x08", 4) + QByteArray(200, '\0')));
}

} // namespace
} // namespace mv::imaging::test
