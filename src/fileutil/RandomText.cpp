#include "fileutil/RandomText.h"

#include <sodium.h>

#include <cstdlib>

namespace mv::fileutil {
namespace {

void ensureSodium()
{
    // sodium_init is safe to call repeatedly and from several threads.
    if (sodium_init() < 0)
        std::abort(); // no safe randomness: nothing sensible can continue
}

QString drawFrom(const char* alphabet, uint32_t size, int length)
{
    ensureSodium();
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text.append(QLatin1Char(alphabet[randombytes_uniform(size)]));
    return text;
}

} // namespace

QString randomText(int length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return drawFrom(alphabet, sizeof alphabet - 1, length);
}

QString randomHex(int length)
{
    static const char alphabet[] = "0123456789abcdef";
    return drawFrom(alphabet, sizeof alphabet - 1, length);
}

} // namespace mv::fileutil
