// The run-length codes of WPG bitmaps, unpacked into whole rows.
//
// Version 1: a byte b with n = b & 0x7F: b >= 0x80 and n > 0: the next byte n times; 0x80: 0xFF
// as many times as the next byte says; 0 < b < 0x80: n bytes as they are; 0: the row before
// again, as many times as the next byte says.
//
// Version 2 works on samples of 1 byte (0x7D, size: a new sample size of 1 to 8 bytes): 0x7F n
// and 0xFF n give n+1 samples of 0x00 or 0xFF; 0xFD n the last repeated sample n+1 times; 0xFE n
// the row before n+1 times; b >= 0x80 one sample repeated (b & 0x7F) + 1 times; else
// b + 1 samples as they are. The XOR code 0x7E is not supported.
#pragma once

#include "imaging/base/ByteReader.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace mv::imaging::wpg {

// Gathers unpacked bytes and hands over each row when it is full. Bytes past the last row are
// dropped, so no code can write outside the picture.
class WpgRowSink {
public:
    using RowDone = std::function<void(int row, const std::uint8_t* bytes)>;
    WpgRowSink(qsizetype rowBytes, int rows, RowDone done);

    [[nodiscard]] bool full() const { return row_ >= rows_; }
    void fill(std::uint8_t value, qsizetype count);
    void copy(const std::uint8_t* bytes, qsizetype count);
    // False unless at the start of a row with a row before it.
    bool repeatRow(qsizetype times);

private:
    void rowFilled();

    qsizetype rowBytes_;
    int rows_;
    RowDone done_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> previous_;
    qsizetype x_ = 0;
    int row_ = 0;
    bool havePrevious_ = false;
};

// Both give an empty text when every row was filled, else the reason.
QString unpackWpg1(ByteReader& in, WpgRowSink& sink);
QString unpackWpg2(ByteReader& in, WpgRowSink& sink);

} // namespace mv::imaging::wpg
