// Test encoder of MacPaint pictures, with or without a MacBinary header.
#pragma once

#include "ByteWriter.h"
#include "PackBitsEncoder.h"

#include <functional>

namespace mv::imaging::test {

// black(x, y) for the 576 x 720 pixels.
inline QByteArray encodeMacPaint(const std::function<bool(int, int)>& black, bool macBinary)
{
    ByteWriter data;
    data.u32be(2); // version
    data.bytes.append(508, '\0');
    for (int y = 0; y < 720; ++y)
        data.append(packBits(packRowBits(576, 72, [&](int x) { return black(x, y); })));
    if (!macBinary)
        return data.bytes;

    QByteArray header(128, '\0');
    header[1] = 7;
    header.replace(2, 7, "SAMPLE!");
    header.replace(65, 8, "PNTGMPNT");
    const auto length = std::uint32_t(data.bytes.size());
    for (int i = 0; i < 4; ++i)
        header[83 + i] = char(length >> (24 - 8 * i));
    return header + data.bytes;
}

} // namespace mv::imaging::test
