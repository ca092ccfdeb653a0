// Feeds arbitrary bytes to one raster decoder's sniffer and decoder (MV_FUZZ_TYPE, declared in
// MV_FUZZ_HEADER): it must never crash, hang or read out of bounds, and success must carry a
// picture. Built once per decoder, as fuzz_<name>.
#include MV_FUZZ_HEADER

#include <cstddef>
#include <cstdint>

#define MV_JOIN_(a, b) a##b
#define MV_JOIN(a, b) MV_JOIN_(a, b)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    (void)mv::imaging::MV_JOIN(looksLike, MV_FUZZ_TYPE)(bytes);
    const mv::imaging::DecodeResult r = mv::imaging::MV_JOIN(decode, MV_FUZZ_TYPE)(bytes);
    if (r.ok() && r.image.isNull())
        __builtin_trap();
    return 0;
}
