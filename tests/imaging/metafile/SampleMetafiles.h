// Metafiles with a mix of every kind of record, for the fuzz seeds and the benchmark.
#pragma once

#include "EmfWriter.h"
#include "WmfWriter.h"

namespace mv::imaging::test {

// About `records` records of lines, rectangles, polygons, text and object selections on a
// 1000 x 1000 unit picture.
inline QByteArray mixedWmf(int records)
{
    WmfWriter w;
    w.pen(0, 2, 0x202020).pen(0, 1, 0x0000FF).brush(0, 0x00A0FF).brush(2, 0xFF0000, 4).font(24);
    w.select(0).select(2).select(4).record(0x0102, {1}).windowOrg(0, 0).windowExt(1000, 1000);
    for (int i = 0; i < records / 8; ++i) {
        const int x = (i * 37) % 900, y = (i * 53) % 900;
        w.select(i % 2).select(2 + i % 2).moveTo(x, y).lineTo(x + 90, y + 40).rectangle(x, y, x + 60, y + 30);
        w.record(0x0324, {4, x, y, x + 50, y + 10, x + 40, y + 70, x + 5, y + 50});
        w.ellipse(x + 10, y + 10, x + 70, y + 50);
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
    w.pen(1, 0, 2, 0x202020).pen(2, 0x2200, 3, 0x0000FF).brush(3, 0, 0x00A0FF).brush(4, 2, 0xFF0000, 4).font(5, 24);
    w.select(5).record(18, {1});
    for (int i = 0; i < records / 8; ++i) {
        const int x = (i * 37) % 900, y = (i * 53) % 900;
        w.select(1 + i % 2).select(3 + i % 2).moveTo(x, y).lineTo(x + 90, y + 40).rectangle(x, y, x + 60, y + 30);
        w.polygon({{x, y}, {x + 50, y + 10}, {x + 40, y + 70}, {x + 5, y + 50}});
        w.ellipse(x + 10, y + 10, x + 70, y + 50);
        if (i % 8 == 0)
            w.textOut(x, y, QStringLiteral("Text"));
        else
            w.record(45, {x, y, x + 80, y + 80, x + 80, y, x, y + 80});
    }
    w.saveDc().worldTransform(0.5f, 0, 0, 0.5f, 100, 100, 2).stretchDib(QRect(0, 0, 100, 100), solidDib(3, 3, 0x00FF00), 3, 3);
    w.record(59, {}).moveTo(0, 0).lineTo(200, 0).lineTo(0, 200).record(61, {}).record(60, {}).record(63, {0, 0, 0, 0});
    w.restoreDc(-1);
    return w.file(QRect(0, 0, 999, 999), QRect(0, 0, 26458, 26458));
}

} // namespace mv::imaging::test
