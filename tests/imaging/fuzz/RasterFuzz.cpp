// Feeds arbitrary bytes to one raster decoder's sniffer and decoder (MV_FUZZ_TYPE, declared in
// MV_FUZZ_HEADER): it must never crash, hang or read out of bounds, and success must carry a
// picture. A decoder of one file size (MV_FUZZ_PAD bytes) is fed the input padded or cut to it
// as well, so that short inputs reach its pixels. Built once per decoder, as fuzz_<name>.
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
#ifdef MV_FUZZ_PAD
    QByteArray padded = bytes.toByteArray();
    padded.resize(MV_FUZZ_PAD, '\0');
    if (const mv::imaging::DecodeResult p = mv::imaging::MV_JOIN(decode, MV_FUZZ_TYPE)(padded);
        p.ok() && p.image.isNull())
        __builtin_trap();
#endif
    return 0;
}
