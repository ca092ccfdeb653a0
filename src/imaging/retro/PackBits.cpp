#include "imaging/retro/PackBits.h"

#include <algorithm>
#include <cstring>

namespace mv::imaging {

namespace {

// Unpacks up to n bytes; stops early, with filled < n, when the stream ends. Works on the raw
// bytes (checked against their end) because this loop carries most of the decoding time.
qsizetype unpack(ByteReader& in, std::uint8_t* out, qsizetype n)
{
    const auto* const begin = reinterpret_cast<const std::uint8_t*>(in.data().data());
    const std::uint8_t* p = begin + in.pos();
    const std::uint8_t* const end = begin + in.size();
    qsizetype filled = 0;
    bool cut = false;
    while (filled < n && p < end) {
        const auto control = static_cast<std::int8_t>(*p);
        if (control == -128) {
            ++p;
            continue;
        }
        if (control >= 0) {
            const qsizetype count = control + 1;
            if (end - p - 1 < count) {
                cut = true;
                break;
            }
            const qsizetype kept = std::min(count, n - filled);
            std::memcpy(out + filled, p + 1, size_t(kept));
            filled += kept;
            p += 1 + count;
        } else {
            if (end - p < 2) {
                cut = true;
                break;
            }
            const qsizetype kept = std::min<qsizetype>(1 - control, n - filled);
            std::memset(out + filled, p[1], size_t(kept));
            filled += kept;
            p += 2;
        }
    }
    in.seek(p - begin);
    if (cut)
        in.skip(end - p + 1); // fails the reader: the last code was cut off
    return filled;
}

} // namespace

bool unpackBitsRow(ByteReader& in, std::uint8_t* out, qsizetype n)
{
    return unpack(in, out, n) == n;
}

qsizetype unpackBitsStream(ByteReader& in, std::uint8_t* out, qsizetype cap)
{
    return unpack(in, out, cap);
}

} // namespace mv::imaging
