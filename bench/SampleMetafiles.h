// Metafiles with a mix of every kind of record, for the benchmark (the fuzz seeds in
// tests/imaging/corpus/wmf and emf were made with them).
#pragma once

#include "writers/EmfWriter.h"
#include "writers/WmfWriter.h"

namespace mv::imaging::test {

// About `records` records of lines, rectangles, polygons, ellipses, arcs, text and object
// selections on a 1000 x 1000 unit picture.
inline QByteArray mixedWmf(int records)
{
    WmfWriter w;
    w.pen(0, 2, 0x202020).pen(0, 1, 0x0000FF).brush(0, 0x00A0FF).brush(2, 0xFF0000, 4).font(24);
    w.select(0).select(2).select(4).record(0x0102, {1}).windowOrg(0, 0).windowExt(1000, 1000);
    for (int i = 0; i < records / 8; ++i) {
        const int x = (i * 37) % 900, y = (i * 53) % 900;
        w.select(i % 2).select(2 + i % 2).moveTo(x, y).lineTo(x + 90, y + 40).rectangle(x, y, x + 60, y + 30);
        w.record(0x0324, {4, x, y, x + 50, y + 10, x + 40, y + 70, x + 5, y + 50})
            .ellipse(x + 10, y + 10, x + 70, y + 50);
        if (i % 8 == 0)
            w.textOut(x, y, "Text");
        else
            w.record(0x0817, {y, x + 80, y + 80, x, y + 80, x + 80, y, x});
    }
    return w.file(true, QRect(0, 0, 1000, 1000), 96);
}

inline QByteArray mixedEmf(int records)
{
    EmfWriter w;
    w.pen(1, 0, 2, 0x202020).pen(2, 0x2200, 3, 0x0000FF).brush(3, 0, 0x00A0FF).brush(4, 2, 0xFF0000, 4);
    w.font(5, 24);
    w.select(5).record(18, {1});
    for (int i = 0; i < records / 8; ++i) {
        const int x = (i * 37) % 900, y = (i * 53) % 900;
        w.select(1 + i % 2).select(3 + i % 2).moveTo(x, y).lineTo(x + 90, y + 40);
        w.rectangle(x, y, x + 60, y + 30);
        w.polygon({{x, y}, {x + 50, y + 10}, {x + 40, y + 70}, {x + 5, y + 50}})
            .ellipse(x + 10, y + 10, x + 70, y + 50);
        if (i % 8 == 0)
            w.textOut(x, y, QStringLiteral("Text"));
        else
            w.record(45, {x, y, x + 80, y + 80, x + 80, y, x, y + 80});
    }
    w.saveDc().worldTransform(0.5f, 0, 0, 0.5f, 100, 100, 2);
    w.stretchDib(QRect(0, 0, 100, 100), solidDib(3, 3, 0x00FF00), 3, 3);
    w.record(59, {}).moveTo(0, 0).lineTo(200, 0).lineTo(0, 200).record(61, {}).record(60, {}).record(
        63, {0, 0, 0, 0});
    w.restoreDc(-1);
    return w.file(QRect(0, 0, 999, 999), QRect(0, 0, 26458, 26458));
}

// The less common records: raster operations, regions, palettes, arcs, blends and masks.
inline QByteArray rareRecordsEmf()
{
    const DibParts red = dib(8, 8, 32, [](int x, int) { return x < 4 ? 0x80800000u : 0xFFFF0000u; });
    const DibParts mask = monoDib(8, 8, u32s({0, 0xFFFFFF}), [](int x, int y) { return (x + y) % 2 == 0; });
    const DibParts indexed = monoDib(8, 8, u32s({0x00010000}), [](int x, int) { return x < 4; });
    const QByteArray region = EmfWriter::regionData({QRect(0, 0, 40, 40), QRect(40, 40, 40, 40)});
    const std::int64_t fixed = 128, rh = red.header.size(), rb = red.bits.size();
    EmfWriter w;
    w.pen(2, 0, 3, 0x202020).select(2).brush(1, 0, 0xFF0000).select(1);
    w.raw(71, QByteArray(16, '\0') + u32s({region.size(), 1}) + region).record(20, {7});
    w.rectangle(10, 10, 60, 60).record(20, {13});
    w.record(57, {2}).record(45, {0, 0, 80, 80, 80, 40, 0, 40}).moveTo(0, 0);
    w.record(41, {40, 40, 30, 0, 0x43340000});
    w.raw(56,
          QByteArray(16, '\0') + u32s({4, 0, 0, 50, 0, 50, 50, 0, 50}) + QByteArray("\x06\x02\x02\x03", 4));
    w.raw(49, u32s({3, 0x00020300, 0x000000FF, 0x0000FF00})).record(48, {3});
    w.blit(77, QRect(0, 60, 30, 30), 0xCC0020, QRect(0, 0, 8, 8), indexed.header, indexed.bits, 1);
    w.blit(114, QRect(30, 60, 30, 30), 0x01FF0000, QRect(0, 0, 8, 8), red.header, red.bits);
    w.blit(116, QRect(60, 60, 30, 30), 0xFF0000, QRect(0, 0, 8, 8), red.header, red.bits);
    w.blit(77, QRect(60, 0, 30, 30), 0x8800C6, QRect(0, 0, 8, 8), red.header, red.bits);
    w.raw(78, QByteArray(16, '\0') + u32s({80, 80, 8, 8, 0xAACC0020, 0, 0}) + QByteArray(24, '\0') +
                  u32s({0, 0, fixed, rh, fixed + rh, rb, 0, 0, 0, fixed + rh + rb, mask.header.size(),
                        fixed + rh + rb + mask.header.size(), mask.bits.size()}) +
                  red.packed() + mask.packed());
    w.raw(75, u32s({region.size(), 5}) + region).ellipse(0, 0, 99, 99);
    return w.file(QRect(0, 0, 99, 99), QRect(0, 0, 2619, 2619));
}

inline QByteArray rareRecordsWmf()
{
    const QByteArray region =
        u16s({0, 6, 0, 0, 0, 2, 2, 0, 0, 100, 100, 2, 0, 50, 0, 50, 2, 2, 50, 100, 50, 100, 2});
    const DibParts dib = monoDib(8, 8, u32s({0x00010000}), [](int, int y) { return y < 4; });
    WmfWriter w;
    w.pen(0, 2, 0).brush(0, 0xFF0000).raw(0x06FF, region).raw(0x00F7, u16s({0x300, 2, 0x00FF, 0, 0xFF00, 0}));
    w.select(0).select(1).record(0x0228, {2, 1}).record(0x0429, {2, 1, 3, 3}).record(0x012A, {2});
    w.record(0x012C, {2});
    w.record(0x0234, {3}).raw(0x0F43, u16s({0x20, 0xCC, 1, 8, 8, 0, 0, 40, 40, 50, 50}) + dib.packed());
    w.record(0x061D, {0x0049, 0x005A, 20, 20, 0, 0});
    w.record(0x0104, {7}).moveTo(0, 90).lineTo(100, 90).record(0x0104, {13}).record(0x012C, {9});
    w.record(0x0103, {2}).rectangle(0, 0, 30, -30).eof();
    return w.file(true, QRect(0, 0, 100, 100), 96);
}

} // namespace mv::imaging::test
