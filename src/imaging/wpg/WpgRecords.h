// The record structure of WordPerfect graphics (.wpg), version 1 and 2, shared by the bitmap
// decoder and the vector player. The 16-byte header is 0xFF "WPC", the offset of the first
// record, product type 1, file type 0x16, major version, minor version and an encryption key.
//
// Version 1 records: type byte, length. Version 2 records: class byte, type byte, extension,
// length. A length or extension is a byte, or 0xFF then a 16-bit word, or, when that word has
// its top bit set, a 32-bit value of which the word gives the high 15 bits and the next word
// the low 16. Every record body is checked to lie within the file.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace mv::imaging::wpg {

struct WpgHeader {
    int majorVersion = 0; // 1 or 2
    int minorVersion = 0;
    qsizetype firstRecord = 16;
};

struct WpgRecord {
    int recordClass = 0; // version 2 only
    int type = 0;
    std::uint32_t extension = 0; // version 2 only
    qsizetype offset = 0;        // of the body in the file
    QByteArrayView body;
};

// Record types of version 1 used by the decoders.
namespace v1 {
inline constexpr int kBitmapType1 = 0x0B;
inline constexpr int kColourMap = 0x0E;
inline constexpr int kStart = 0x0F;
inline constexpr int kEnd = 0x10;
inline constexpr int kBitmapType2 = 0x14;
} // namespace v1

// Record types of version 2 used by the decoders.
namespace v2 {
inline constexpr int kStart = 0x01;
inline constexpr int kEnd = 0x02;
inline constexpr int kColourPalette = 0x0C;
inline constexpr int kBitmapData = 0x0E;
} // namespace v2

// Reads the header of a WPG file of version 1 or 2; the reason when data does not start with one.
QString readWpgHeader(QByteArrayView data, WpgHeader* header);

// Walks the records in file order. next() gives each record, the end record included, and then
// false; it gives false too on a damaged record, with the reason in error().
class WpgRecordWalker {
public:
    WpgRecordWalker(QByteArrayView data, const WpgHeader& header);

    bool next(WpgRecord* record);
    [[nodiscard]] const QString& error() const { return error_; }

private:
    bool fail(const QString& why);

    QByteArrayView data_;
    int version_;
    qsizetype pos_;
    bool done_ = false;
    QString error_;
};

} // namespace mv::imaging::wpg
