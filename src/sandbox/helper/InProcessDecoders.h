// Decoding in this process, without a helper: for the tests that compare the helper's pixels
// with these, and for the benchmarks that put the two side by side. The program never links it.
#pragma once

#include "sandbox/Decoders.h"

namespace mv::sandbox {

class InProcessDecoders : public Decoders {
public:
    [[nodiscard]] imaging::Picture decode(const DecodeJob& job) override;
    [[nodiscard]] imaging::PictureInfo probe(const DecodeJob& job) override;
    [[nodiscard]] Protections protections() override { return {}; }
};

} // namespace mv::sandbox
