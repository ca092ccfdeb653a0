// The decoder helpers a test binary decodes through: one pool for the whole binary, started on
// first use, of the helper this build made (test_main points MV_DECODER_HELPER at it).
#pragma once

#include "sandbox/HelperPool.h"

namespace mv::test {

inline sandbox::HelperPool& decoders()
{
    static sandbox::HelperPool pool;
    return pool;
}

} // namespace mv::test
