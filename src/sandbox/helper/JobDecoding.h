// A decode job carried out by the decoders of this process: what a helper process runs, and
// what the in-process decoding of the tests and benchmarks runs, so the two give the same
// pixels. A vector picture is drawn here, at the size the job asks for.
#pragma once

#include "imaging/base/Picture.h"
#include "sandbox/DecodeJob.h"

namespace mv::sandbox {

// The picture as the viewer takes it: pixels only. Does not protect sensitive pixels; the
// caller decides where they go.
imaging::Picture decodeJob(const DecodeJob& job);
imaging::PictureInfo probeJob(const DecodeJob& job);

} // namespace mv::sandbox
