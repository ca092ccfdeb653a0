// The seed files of the fuzz targets: small valid pictures from our encoders. Every run checks
// that each seed decodes; with MV_WRITE_CORPUS=<tests/imaging/corpus> it also writes them there.
#include "ArtEncoder.h"
#include "ExpectPixels.h"
#include "IffEncoder.h"
#include "MacPaintEncoder.h"
#include "PicEncoder.h"
#include "WpgEncoder.h"

#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/retro/WpgDecoder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

namespace mv::imaging::test {
namespace {

struct Seed {
    const char* format;
    const char* name;
    QByteArray bytes;
    std::function<DecodeResult(QByteArrayView)> decode;
};

IffInput iff(int planes, bool compress, bool chunky, std::uint32_t modes = 0)
{
    QList<QRgb> colours;
    for (int i = 0; i < (planes == 24 ? 0 : 1 << std::min(planes, 6)); ++i)
        colours.append(qRgb(i * 4, 255 - i * 4, i * 2));
    return { .width = 19, .height = 7, .planes = planes, .chunky = chunky, .compress = compress,
             .mask = planes == 3, .viewModes = modes, .colours = colours,
             .value = [planes](int x, int y) {
                 return planes == 24 ? std::uint32_t(x * 13 | y * 30 << 8 | 0x400000)
                                     : std::uint32_t(patternValue(x, y, 1 << planes));
             } };
}

PicInput pic(int bits, int planes, bool compress)
{
    return { .width = 21, .height = 6, .bits = bits, .planes = planes, .compress = compress,
             .blockLimit = 50,
             .value = [colours = 1 << (bits * planes)](int x, int y) { return patternValue(x, y, colours); } };
}

WpgBitmapInput wpg(int depth, bool type2 = false, bool compress = true)
{
    return { .width = 23, .height = 8, .depth = depth, .type2 = type2, .compress = compress,
             .value = [depth](int x, int y) {
                 return depth == 24 ? std::uint32_t(x << 16 | y << 8 | 0x40)
                                    : std::uint32_t(patternValue(x, y, 1 << depth));
             } };
}

QList<Seed> seeds()
{
    const auto art = [](int x, int y) { return (x ^ y) % 3 == 0; };
    const auto mac = [](int x, int y) { return (x / 8 + y / 8) % 2 == 0 && y < 64; };
    QByteArray vga;
    for (int i = 0; i < 768; ++i)
        vga.append(char(i % 64));
    PicInput picVga = pic(8, 1, true);
    picVga.paletteType = 4;
    picVga.palette = vga;
    return {
        { "iff", "ilbm4_packed.iff", encodeIff(iff(4, true, false)), decodeIff },
        { "iff", "ilbm3_mask_raw.iff", encodeIff(iff(3, false, false)), decodeIff },
        { "iff", "ilbm24_packed.iff", encodeIff(iff(24, true, false)), decodeIff },
        { "iff", "ham6.iff", encodeIff(iff(6, true, false, 0x800)), decodeIff },
        { "iff", "ehb.iff", encodeIff(iff(6, false, false, 0x80)), decodeIff },
        { "iff", "pbm_packed.lbm", encodeIff(iff(8, true, true)), decodeIff },
        { "macpaint", "macbinary.mac", encodeMacPaint(mac, true), decodeMacPaint },
        { "macpaint", "bare.mac", encodeMacPaint(mac, false), decodeMacPaint },
        { "art", "standard.art", encodeArt(37, 9, art), decodeArt },
        { "art", "highres.art", encodeArtHighRes(37, 9, 1, art), decodeArt },
        { "pic", "cga_raw.pic", encodePic(pic(2, 1, false)), decodePic },
        { "pic", "ega_planar_rle.pic", encodePic(pic(1, 4, true)), decodePic },
        { "pic", "vga_rle.pic", encodePic(picVga), decodePic },
        { "pic", "mono_rle.pic", encodePic(pic(1, 1, true)), decodePic },
        { "wpg", "wpg1_mono.wpg", encodeWpg1({ wpg(1) }), decodeWpg },
        { "wpg", "wpg1_type2_ega.wpg", encodeWpg1({ wpg(4, true) }, { qRgb(1, 2, 3), qRgb(200, 100, 50) }), decodeWpg },
        { "wpg", "wpg2_rle8.wpg", encodeWpg2(wpg(8), { qRgb(9, 8, 7) }), decodeWpg },
        { "wpg", "wpg2_raw24.wpg", encodeWpg2(wpg(24, false, false)), decodeWpg },
        { "wpg", "wpg2_rle24.wpg", encodeWpg2(wpg(24)), decodeWpg },
        // The HRZ target pads its input to the one valid size, so a short seed reaches the pixels.
        { "hrz", "start.hrz", QByteArray(600, '\x21'), [](QByteArrayView v) {
              QByteArray padded = v.toByteArray();
              padded.resize(184320, '\0');
              return decodeHrz(padded);
          } },
    };
}

TEST(RetroCorpus, SeedsDecodeAndAreWrittenOnRequest)
{
    const QString target = qEnvironmentVariable("MV_WRITE_CORPUS");
    for (const Seed& seed : seeds()) {
        SCOPED_TRACE(seed.name);
        const DecodeResult r = seed.decode(seed.bytes);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_LT(seed.bytes.size(), 8192);
        if (target.isEmpty())
            continue;
        const QString dir = target + "/" + seed.format;
        ASSERT_TRUE(QDir().mkpath(dir));
        QFile file(dir + "/" + seed.name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(seed.bytes), seed.bytes.size());
    }
}

} // namespace
} // namespace mv::imaging::test
