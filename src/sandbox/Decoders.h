// Where pictures are decoded. The program decodes only through the helper processes
// (HelperPool.h); decoding in this process (InProcessDecoders.h) is for the tests and the
// benchmarks that compare the two. Safe to call from several worker threads at once.
#pragma once

#include "imaging/base/Picture.h"
#include "sandbox/DecodeJob.h"
#include "sandbox/Protections.h"

namespace mv::sandbox {

// The step of a failure in which the decoder itself was stopped (it crashed, made a forbidden
// system call, or hit the memory or time cap) rather than refusing the picture.
inline constexpr const char* kDecoderStoppedStep = "run decoder";

[[nodiscard]] inline bool decoderStopped(const fileio::Status& status)
{
    return !status.ok && status.step == kDecoderStoppedStep;
}

class Decoders {
public:
    virtual ~Decoders() = default;

    // The picture: pixels (a vector picture drawn at job.draw), its type, size and depth, or
    // the failure. A job marked sensitive comes back with its pixels in protected memory.
    [[nodiscard]] virtual imaging::Picture decode(const DecodeJob& job) = 0;
    // Type, size and depth from the header where the type allows it.
    [[nodiscard]] virtual imaging::PictureInfo probe(const DecodeJob& job) = 0;
    // What locks the decoders down: none for decoding in this process.
    [[nodiscard]] virtual Protections protections() = 0;
};

} // namespace mv::sandbox
