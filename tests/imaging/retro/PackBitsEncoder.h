// PackBits / ByteRun1 encoder of the tests: runs of three or more equal bytes become repeat
// codes, everything else literal codes of at most 128 bytes.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace mv::imaging::test {

inline QByteArray packBits(const std::vector<std::uint8_t>& row)
{
    QByteArray out;
    const size_t n = row.size();
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 3) {
            out.append(char(std::int8_t(1 - int(run))));
            out.append(char(row[i]));
            i += run;
            continue;
        }
        size_t end = i;
        while (end < n && end - i < 128) {
            if (end + 2 < n && row[end] == row[end + 1] && row[end] == row[end + 2])
                break;
            ++end;
        }
        out.append(char(end - i - 1));
        out.append(reinterpret_cast<const char*>(row.data() + i), qsizetype(end - i));
        i = end;
    }
    return out;
}

} // namespace mv::imaging::test
