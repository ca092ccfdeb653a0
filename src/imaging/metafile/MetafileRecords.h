// A metafile checked at load: its bytes and a list of records, each one's parameters lying
// wholly inside the bytes, so that playing never has to trust a size again.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

namespace mv::imaging::metafile {

// More records than this are not played (the picture shows the first ones).
inline constexpr std::size_t kMaxRecords = 1'000'000;
// Points in one record.
inline constexpr std::uint32_t kMaxPoints = 1'000'000;
// Characters in one text record.
inline constexpr std::uint32_t kMaxTextLength = 65535;

struct RecordRef {
    std::uint32_t type;
    std::uint32_t offset;       // of the record's first byte
    std::uint32_t size;         // of the whole record, in bytes
    std::uint32_t paramsOffset; // parameters start this many bytes into the record
};

struct MetafileRecords {
    QByteArray bytes;
    std::vector<RecordRef> records;
    std::uint32_t objectCount = 0;
    QRectF frame;   // device units the picture covers
    QSizeF natural; // pixels at 96 dpi
    double pxPerMm = 96 / 25.4;

    [[nodiscard]] QByteArrayView whole(const RecordRef& r) const
    {
        return QByteArrayView(bytes).sliced(r.offset, r.size);
    }
    [[nodiscard]] QByteArrayView params(const RecordRef& r) const { return whole(r).sliced(r.paramsOffset); }
};

// What a loader gives: the records, or why the file cannot be drawn.
struct [[nodiscard]] MetafileLoad {
    MetafileRecords file;
    fileio::Status status; // ok on success

    static MetafileLoad failure(const QString& why) { return {{}, decodeFailure(why)}; }
};

} // namespace mv::imaging::metafile
