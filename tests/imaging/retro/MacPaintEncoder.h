// Test writer of MacPaint pictures, with or without a MacBinary header.
#pragma once

#include "../common/Bytes.h"

#include <functional>

namespace mv::imaging::test {

// black(x, y) for the 576 x 720 pixels.
inline QByteArray encodeMacPaint(const std::function<bool(int, int)>& black, bool macBinary)
{
    ByteWriter data;
    data.u32be(2).zeros(508); // version, patterns
    for (int y = 0; y < 720; ++y)
        data.bytes(packBits(packRowBits(576, 72, [&](int x) { return black(x, y); })));
    if (!macBinary)
        return data.data();
    QByteArray header(128, '\0');
    header[1] = 7;
    header.replace(2, 7, "SAMPLE!");
    header.replace(65, 8, "PNTGMPNT");
    return patched32(header, 83, std::uint32_t(data.size()), true) + data.data();
}

} // namespace mv::imaging::test
