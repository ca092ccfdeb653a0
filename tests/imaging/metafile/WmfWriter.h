// Writes small old Windows metafiles for the tests, the fuzz seeds and the benchmark.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QtEndian>

#include <cstdint>
#include <initializer_list>

namespace mv::imaging::test {

class WmfWriter {
public:
    // One record: function number and its 16-bit parameters.
    WmfWriter& record(std::uint16_t fn, std::initializer_list<int> words)
    {
        u32(std::uint32_t(3 + words.size()));
        u16(fn);
        for (const int w : words)
            u16(w);
        return *this;
    }
    // A record with a raw parameter block (padded to whole words).
    WmfWriter& raw(std::uint16_t fn, QByteArray params)
    {
        if (params.size() % 2)
            params.append('\0');
        u32(std::uint32_t(3 + params.size() / 2));
        u16(fn);
        body_.append(params);
        return *this;
    }
    WmfWriter& words(std::initializer_list<int> w)
    {
        for (const int v : w)
            u16(v);
        return *this;
    }
    // Appends bytes that are not a whole record (for damaged files).
    WmfWriter& bytes(const QByteArray& b)
    {
        body_.append(b);
        return *this;
    }

    static int lo(std::uint32_t v) { return int(v & 0xFFFF); }
    static int hi(std::uint32_t v) { return int(v >> 16); }

    WmfWriter& pen(int style, int width, std::uint32_t color) { return record(0x02FA, {style, width, 0, lo(color), hi(color)}); }
    WmfWriter& brush(int style, std::uint32_t color, int hatch = 0) { return record(0x02FC, {style, lo(color), hi(color), hatch}); }
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
        QByteArray p;
        appendU16(p, int(text.size()));
        p.append(text);
        if (p.size() % 2)
            p.append('\0');
        appendU16(p, y);
        appendU16(p, x);
        return raw(0x0521, p);
    }
    WmfWriter& font(int height, int weight = 400)
    {
        QByteArray p;
        for (const int w : {-height, 0, 0, 0, weight})
            appendU16(p, w);
        p.append(QByteArray(8, '\0'));
        p.append(QByteArray("Sans").leftJustified(32, '\0'));
        return raw(0x02FB, p);
    }
    WmfWriter& eof() { return record(0x0000, {}); }

    // The file: optional placeable header (box in units per inch), metafile header, records.
    [[nodiscard]] QByteArray file(bool placeable, QRect box = {}, int inch = 96, int objects = 16) const
    {
        QByteArray out;
        if (placeable) {
            appendU32(out, 0x9AC6CDD7);
            appendU16(out, 0);
            for (const int v : {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()})
                appendU16(out, v);
            appendU16(out, inch);
            appendU32(out, 0);
            appendU16(out, 0); // checksum, not checked
        }
        appendU16(out, 1);
        appendU16(out, 9);
        appendU16(out, 0x300);
        appendU32(out, std::uint32_t(9 + body_.size() / 2));
        appendU16(out, objects);
        appendU32(out, 0);
        appendU16(out, 0);
        out.append(body_);
        return out;
    }

    static void appendU16(QByteArray& b, int v)
    {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    }
    static void appendU32(QByteArray& b, std::uint32_t v)
    {
        appendU16(b, int(v & 0xFFFF));
        appendU16(b, int(v >> 16));
    }

private:
    void u16(int v) { appendU16(body_, v); }
    void u32(std::uint32_t v) { appendU32(body_, v); }
    QByteArray body_;
};

} // namespace mv::imaging::test
