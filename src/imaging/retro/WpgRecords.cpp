#include "imaging/retro/WpgRecords.h"

#include "imaging/ByteReader.h"

namespace mv::imaging {
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

bool readWpgHeader(QByteArrayView data, WpgHeader* header, QString* error)
{
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (data.size() < kHeaderSize || std::uint8_t(data[0]) != 0xFF || data.sliced(1, 3) != QByteArrayView("WPC"))
        return refuse(QStringLiteral("not a WordPerfect graphics file"));
    ByteReader in(data);
    in.skip(4);
    const std::uint32_t first = in.u32le();
    const int product = in.u8();
    const int fileType = in.u8();
    header->majorVersion = in.u8();
    header->minorVersion = in.u8();
    const int key = in.u16le();
    if (product != 1 || fileType != 0x16)
        return refuse(QStringLiteral("not a WordPerfect graphics file"));
    if (header->majorVersion != 1 && header->majorVersion != 2)
        return refuse(QStringLiteral("unsupported WPG version %1").arg(header->majorVersion));
    if (key != 0)
        return refuse(QStringLiteral("encrypted WPG files are not supported"));
    if (first < kHeaderSize || first > std::uint32_t(data.size()))
        return refuse(QStringLiteral("the first record lies outside the file"));
    header->firstRecord = qsizetype(first);
    return true;
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
        return fail(QStringLiteral("the file is truncated"));
    record->offset = in.pos();
    record->body = in.take(qsizetype(length));
    pos_ = in.pos();
    const int endType = version_ == 2 ? wpg2::kEnd : wpg1::kEnd;
    done_ = record->type == endType;
    return true;
}

bool WpgRecordWalker::fail(const QString& why)
{
    done_ = true;
    error_ = why;
    return false;
}

} // namespace mv::imaging
