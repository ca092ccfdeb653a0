#include "sandbox/helper/InProcessDecoders.h"

#include "imaging/base/ProtectedPixels.h"
#include "sandbox/helper/JobDecoding.h"

namespace mv::sandbox {

imaging::Picture InProcessDecoders::decode(const DecodeJob& job)
{
    imaging::Picture picture = decodeJob(job);
    if (picture.ok() && job.sensitive)
        imaging::protectPicture(picture);
    return picture;
}

imaging::PictureInfo InProcessDecoders::probe(const DecodeJob& job)
{
    return probeJob(job);
}

} // namespace mv::sandbox
