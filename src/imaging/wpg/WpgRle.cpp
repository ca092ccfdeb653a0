#include "imaging/wpg/WpgRle.h"

#include "imaging/base/Messages.h"

#include <algorithm>
#include <cstring>

namespace mv::imaging::wpg {
namespace {

const std::uint8_t* bytesOf(QByteArrayView view)
{
    return reinterpret_cast<const std::uint8_t*>(view.data());
}

} // namespace

WpgRowSink::WpgRowSink(qsizetype rowBytes, int rows, RowDone done)
    : rowBytes_(rowBytes), rows_(rows), done_(std::move(done)), current_(size_t(rowBytes)),
      previous_(size_t(rowBytes))
{
}

void WpgRowSink::fill(std::uint8_t value, qsizetype count)
{
    while (count > 0 && !full()) {
        const qsizetype n = std::min(count, rowBytes_ - x_);
        std::memset(current_.data() + x_, value, size_t(n));
        x_ += n;
        count -= n;
        if (x_ == rowBytes_)
            rowFilled();
    }
}

void WpgRowSink::copy(const std::uint8_t* bytes, qsizetype count)
{
    while (count > 0 && !full()) {
        const qsizetype n = std::min(count, rowBytes_ - x_);
        std::memcpy(current_.data() + x_, bytes, size_t(n));
        bytes += n;
        x_ += n;
        count -= n;
        if (x_ == rowBytes_)
            rowFilled();
    }
}

bool WpgRowSink::repeatRow(qsizetype times)
{
    if (x_ != 0 || !havePrevious_)
        return false;
    for (qsizetype i = 0; i < times && !full(); ++i)
        done_(row_++, previous_.data());
    return true;
}

void WpgRowSink::rowFilled()
{
    done_(row_++, current_.data());
    current_.swap(previous_);
    havePrevious_ = true;
    x_ = 0;
}

QString unpackWpg1(ByteReader& in, WpgRowSink& sink)
{
    while (!sink.full()) {
        if (in.atEnd())
            return reason(Reason::Truncated);
        const std::uint8_t b = in.u8();
        const int n = b & 0x7F;
        if (b & 0x80) {
            const std::uint8_t value = n ? in.u8() : std::uint8_t(0xFF);
            const int count = n ? n : in.u8();
            if (in.ok())
                sink.fill(value, count);
        } else if (n) {
            const QByteArrayView literal = in.take(n);
            if (in.ok())
                sink.copy(bytesOf(literal), n);
        } else {
            const int times = in.u8();
            if (in.ok() && !sink.repeatRow(times))
                return reason(Reason::BitmapDamaged);
        }
        if (!in.ok())
            return reason(Reason::Truncated);
    }
    return {};
}

QString unpackWpg2(ByteReader& in, WpgRowSink& sink)
{
    int sampleSize = 1;
    std::uint8_t sample[8] = {};
    while (!sink.full()) {
        if (in.atEnd())
            return reason(Reason::Truncated);
        const std::uint8_t b = in.u8();
        if (b == 0x7E)
            return reason(Reason::XorCode);
        if (b == 0x7D) {
            sampleSize = in.u8();
            if (in.ok() && (sampleSize < 1 || sampleSize > 8))
                return reason(Reason::BitmapDamaged);
        } else if (b == 0x7F || b == 0xFF) {
            const int count = in.u8() + 1;
            if (in.ok())
                sink.fill(b == 0x7F ? 0x00 : 0xFF, qsizetype(count) * sampleSize);
        } else if (b == 0xFD) {
            const int count = in.u8() + 1;
            for (int i = 0; in.ok() && i < count && !sink.full(); ++i)
                sink.copy(sample, sampleSize);
        } else if (b == 0xFE) {
            const int count = in.u8() + 1;
            if (in.ok() && !sink.repeatRow(count))
                return reason(Reason::BitmapDamaged);
        } else if (b & 0x80) {
            in.read(sample, sampleSize);
            for (int i = 0; in.ok() && i <= (b & 0x7F) && !sink.full(); ++i)
                sink.copy(sample, sampleSize);
        } else {
            const qsizetype count = qsizetype(b + 1) * sampleSize;
            const QByteArrayView literal = in.take(count);
            if (in.ok())
                sink.copy(bytesOf(literal), count);
        }
        if (!in.ok())
            return reason(Reason::Truncated);
    }
    return {};
}

} // namespace mv::imaging::wpg
