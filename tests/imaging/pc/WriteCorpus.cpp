// Writes small valid files of every pc format as fuzz seeds:
//   imaging_pc_corpus <tests/imaging/corpus>
#include "Encoders.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace mv::imaging::test;

namespace {

bool put(const QString& root, const char* format, const char* name, const QByteArray& bytes)
{
    QDir().mkpath(root + "/" + format);
    QFile f(root + "/" + format + "/" + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The fuzz target for CUT reads the palette size from the first byte, in 16-byte blocks.
QByteArray cutSeed(const IndexedPicture& p, bool withPalette)
{
    QByteArray pal = withPalette ? encodeHaloPalette(p.palette, 63) : QByteArray();
    pal.append(QByteArray((16 - pal.size() % 16) % 16, '\0'));
    return char(pal.size() / 16) + encodeCut(p) + pal;
}

bool writeAll(const QString& root)
{
    const IndexedPicture mono = makeIndexed(19, 6, 2), sixteen = makeIndexed(21, 6, 16), full = makeIndexed(17, 6, 256);
    const RgbPicture rgb = makeRgb(13, 5), rgba = makeRgb(13, 5, 4);
    TargaOptions mapped;
    mapped.type = 9, mapped.depth = 8;
    TargaOptions trueRle;
    trueRle.type = 10, trueRle.depth = 32, trueRle.alphaBits = 8, trueRle.footer = true;
    DibOptions rle4;
    rle4.bits = 4, rle4.compression = 2;
    DibOptions fields;
    fields.headerSize = 108, fields.bits = 16, fields.compression = 3, fields.topDown = true;
    fields.masks[0] = 0xF800, fields.masks[1] = 0x07E0, fields.masks[2] = 0x1F;
    DibOptions core;
    core.headerSize = 12, core.bits = 8;
    bool ok = true;
    ok &= put(root, "pcx", "mono.pcx", encodePcx({1, 1, true}, &mono));
    ok &= put(root, "pcx", "planes16.pcx", encodePcx({1, 4, true}, &sixteen));
    ok &= put(root, "pcx", "palette256.pcx", encodePcx({8, 1, true}, &full));
    ok &= put(root, "pcx", "rgb.pcx", encodePcx({8, 3, true}, nullptr, &rgb));
    ok &= put(root, "targa", "mapped-rle.tga", encodeTarga(mapped, &full));
    ok &= put(root, "targa", "rgba-rle.tga", encodeTarga(trueRle, nullptr, &rgba));
    ok &= put(root, "targa", "rgb.tga", encodeTarga({}, nullptr, &rgb));
    ok &= put(root, "sunraster", "mono.ras", encodeSun({1, 1, false}, &mono));
    ok &= put(root, "sunraster", "mapped-rle.ras", encodeSun({8, 2, true}, &full));
    ok &= put(root, "sunraster", "rgb.ras", encodeSun({24, 3, false}, nullptr, &rgb));
    ok &= put(root, "dib", "rle8.dib", encodeDib({40, 8, 1}, &full));
    ok &= put(root, "dib", "rle4.dib", encodeDib(rle4, &sixteen));
    ok &= put(root, "dib", "fields565.dib", encodeDib(fields, nullptr, &rgb));
    ok &= put(root, "dib", "core.dib", encodeDib(core, &full));
    ok &= put(root, "msp", "v1.msp", encodeMsp(1, mono));
    ok &= put(root, "msp", "v2.msp", encodeMsp(2, mono));
    ok &= put(root, "gemimg", "mono.img", encodeGemImg({1, 2, false}, mono));
    ok &= put(root, "gemimg", "ximg16.img", encodeGemImg({4, 2, true}, sixteen));
    ok &= put(root, "cut", "with-palette.bin", cutSeed(full, true));
    ok &= put(root, "cut", "grey.bin", cutSeed(full, false));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    return writeAll(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
