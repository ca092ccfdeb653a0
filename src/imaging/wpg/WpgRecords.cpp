#include "imaging/wpg/WpgRecords.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Messages.h"

namespace mv::imaging::wpg {
namespace {

constexpr qsizetype kHeaderSize = 16;

std::uint32_t variableLength(ByteReader& in)
{
    const std::uint8_t first = in.u8();
    if (first != 0xFF)
        return first;
    const std::uint16_t word = in.u16le();
    if (!(word & 0x8000))
        return word;
    return (std::uint32_t(word & 0x7FFF) << 16) | in.u16le();
}

} // namespace

QString readWpgHeader(QByteArrayView data, WpgHeader* header)
{
    if (data.size() < kHeaderSize || std::uint8_t(data[0]) != 0xFF ||
        data.sliced(1, 3) != QByteArrayView("WPC"))
        return reason(Reason::NotWpg);
    ByteReader in(data);
    in.skip(4);
    const std::uint32_t first = in.u32le();
    const int product = in.u8();
    const int fileType = in.u8();
    header->majorVersion = in.u8();
    header->minorVersion = in.u8();
    const int key = in.u16le();
    if (product != 1 || fileType != 0x16)
        return reason(Reason::NotWpg);
    if (header->majorVersion != 1 && header->majorVersion != 2)
        return reason(Reason::WpgVersion).arg(header->majorVersion);
    if (key != 0)
        return reason(Reason::WpgEncrypted);
    if (first < kHeaderSize || first > std::uint32_t(data.size()))
        return reason(Reason::FirstRecordOutside);
    header->firstRecord = qsizetype(first);
    return {};
}

WpgRecordWalker::WpgRecordWalker(QByteArrayView data, const WpgHeader& header)
    : data_(data), version_(header.majorVersion), pos_(header.firstRecord)
{
}

bool WpgRecordWalker::next(WpgRecord* record)
{
    if (done_ || pos_ >= data_.size()) {
        done_ = true;
        return false;
    }
    ByteReader in(data_);
    in.seek(pos_);
    *record = WpgRecord();
    if (version_ == 2)
        record->recordClass = in.u8();
    record->type = in.u8();
    if (version_ == 2)
        record->extension = variableLength(in);
    const std::uint32_t length = variableLength(in);
    if (!in.ok() || length > std::uint64_t(in.remaining()))
        return fail(reason(Reason::Truncated));
    record->offset = in.pos();
    record->body = in.take(qsizetype(length));
    pos_ = in.pos();
    const int endType = version_ == 2 ? v2::kEnd : v1::kEnd;
    done_ = record->type == endType;
    return true;
}

bool WpgRecordWalker::fail(const QString& why)
{
    done_ = true;
    error_ = why;
    return false;
}

} // namespace mv::imaging::wpg
