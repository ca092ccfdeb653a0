// Test writer of Slow Scan TV pictures: 256 x 240, three 6-bit values a pixel.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>

namespace mv::imaging::test {

inline QByteArray encodeHrz(const std::function<std::array<std::uint8_t, 3>(int, int)>& rgb6)
{
    QByteArray out;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 256; ++x)
            for (std::uint8_t c : rgb6(x, y))
                out.append(char(c));
    return out;
}

} // namespace mv::imaging::test
