// Writes small old Windows metafiles for the benchmarks (the decoder fixtures were made with it).
#pragma once

#include "../../tests/imaging/common/Bytes.h"

#include <QRect>

namespace mv::imaging::test {

class WmfWriter {
public:
    // One record: function number and its 16-bit parameters.
    WmfWriter& record(std::uint16_t fn, std::initializer_list<int> words)
    {
        body_.u32le(std::uint32_t(3 + words.size())).u16le(fn);
        for (const int w : words)
            body_.u16le(w);
        return *this;
    }
    // A record with a raw parameter block (padded to whole words).
    WmfWriter& raw(std::uint16_t fn, QByteArray params)
    {
        if (params.size() % 2)
            params.append('\0');
        body_.u32le(std::uint32_t(3 + params.size() / 2)).u16le(fn).bytes(params);
        return *this;
    }
    // Appends bytes that are not a whole record (for damaged files).
    WmfWriter& bytes(const QByteArray& b)
    {
        body_.bytes(b);
        return *this;
    }

    static int lo(std::uint32_t v) { return int(v & 0xFFFF); }
    static int hi(std::uint32_t v) { return int(v >> 16); }

    WmfWriter& pen(int style, int width, std::uint32_t color)
    {
        return record(0x02FA, {style, width, 0, lo(color), hi(color)});
    }
    WmfWriter& brush(int style, std::uint32_t color, int hatch = 0)
    {
        return record(0x02FC, {style, lo(color), hi(color), hatch});
    }
    WmfWriter& select(int index) { return record(0x012D, {index}); }
    WmfWriter& rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    WmfWriter& ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    WmfWriter& moveTo(int x, int y) { return record(0x0214, {y, x}); }
    WmfWriter& lineTo(int x, int y) { return record(0x0213, {y, x}); }
    WmfWriter& windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    WmfWriter& windowExt(int cx, int cy) { return record(0x020C, {cy, cx}); }
    WmfWriter& saveDc() { return record(0x001E, {}); }
    WmfWriter& restoreDc(int which) { return record(0x0127, {which}); }
    WmfWriter& textOut(int x, int y, const QByteArray& text)
    {
        QByteArray p = u16s({int(text.size())}) + text;
        if (p.size() % 2)
            p.append('\0');
        return raw(0x0521, p + u16s({y, x}));
    }
    WmfWriter& font(int height, int weight = 400)
    {
        return raw(0x02FB, u16s({-height, 0, 0, 0, weight}) + QByteArray(8, '\0') +
                               QByteArray("Sans").leftJustified(32, '\0'));
    }
    WmfWriter& eof() { return record(0x0000, {}); }

    // The file: optional placeable header (box in units per inch), metafile header, records.
    [[nodiscard]] QByteArray file(bool placeable, QRect box = {}, int inch = 96, int objects = 16) const
    {
        ByteWriter out;
        if (placeable)
            out.u32le(0x9AC6CDD7)
                .u16le(0)
                .bytes(
                    u16s({box.left(), box.top(), box.left() + box.width(), box.top() + box.height(), inch}))
                .u32le(0)
                .u16le(0); // checksum, not checked
        out.u16le(1).u16le(9).u16le(0x300).u32le(std::uint32_t(9 + body_.size() / 2)).u16le(objects);
        out.u32le(0).u16le(0);
        return out.bytes(body_.data()).data();
    }

private:
    ByteWriter body_;
};

} // namespace mv::imaging::test
