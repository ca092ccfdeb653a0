// A property a fuzz target checks: when it does not hold, the run stops and libFuzzer keeps the
// input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define MV_FUZZ_CHECK(condition)                                                                             \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition);              \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
