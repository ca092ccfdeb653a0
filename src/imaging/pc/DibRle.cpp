#include "imaging/pc/DibRle.h"

#include "imaging/base/ByteReader.h"

#include <algorithm>

namespace mv::imaging {

namespace {

class RleWriter {
public:
    RleWriter(QImage& image, bool rle4, bool bottomUp) : image_(image), rle4_(rle4), bottomUp_(bottomUp) {}

    [[nodiscard]] bool done() const { return y_ >= image_.height(); }
    void endOfLine() { x_ = 0, ++y_; }
    void move(int dx, int dy) { advance(dx), y_ += dy; }

    // count pixels of the value (RLE4: the two nibbles alternate).
    void run(int count, std::uint8_t value)
    {
        uchar* row = rowStart();
        const int end = std::min(x_ + count, image_.width());
        if (!rle4_)
            std::fill(row + x_, row + end, value);
        else
            for (int x = x_, i = 0; x < end; ++x, ++i)
                row[x] = (i & 1) ? (value & 15) : (value >> 4);
        advance(count);
    }

    // count pixels read from in (RLE4: two per byte), then the pad to a 16-bit boundary.
    void absolute(ByteReader& in, int count)
    {
        uchar* row = rowStart();
        const int bytes = rle4_ ? (count + 1) / 2 : count;
        const QByteArrayView src = in.take(bytes);
        in.skip(bytes & 1);
        if (src.isEmpty())
            return;
        const int end = std::min(x_ + count, image_.width());
        for (int x = x_, i = 0; x < end; ++x, ++i) {
            const std::uint8_t b = std::uint8_t(src[rle4_ ? i / 2 : i]);
            row[x] = !rle4_ ? b : (i & 1) ? (b & 15) : (b >> 4);
        }
        advance(count);
    }

private:
    // Past the row end nothing more is drawn, so x stops there (and cannot overflow).
    void advance(int n) { x_ = std::min(x_ + n, image_.width()); }
    uchar* rowStart() { return image_.scanLine(bottomUp_ ? image_.height() - 1 - y_ : y_); }

    QImage& image_;
    bool rle4_, bottomUp_;
    int x_ = 0, y_ = 0;
};

} // namespace

bool decodeDibRle(QByteArrayView bits, bool rle4, bool bottomUp, QImage& image)
{
    ByteReader in(bits);
    RleWriter out(image, rle4, bottomUp);
    while (!out.done()) {
        const int count = in.u8(), value = in.u8();
        if (!in.ok())
            return false;
        if (count > 0) {
            out.run(count, std::uint8_t(value));
        } else if (value == 0) {
            out.endOfLine();
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            const int dx = in.u8(), dy = in.u8();
            out.move(dx, dy);
        } else {
            out.absolute(in, value);
        }
        if (!in.ok())
            return false;
    }
    return true;
}

} // namespace mv::imaging
