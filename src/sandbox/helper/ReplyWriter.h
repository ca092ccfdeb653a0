// The helper's side of an answer: the facts in the message, the pixels of every frame in a
// memory file sealed against resizing (and against writing, unless the picture is decrypted
// and the program will wipe the file after copying it).
#pragma once

#include "fileio/UniqueFd.h"
#include "imaging/base/Picture.h"
#include "sandbox/Wire.h"

#include <vector>

namespace mv::sandbox {

struct OutgoingReply {
    std::vector<char> message;
    fileio::UniqueFd pixels; // invalid: none rides along
};

// A decoded picture (pixels only: vector pictures are drawn before), or its failure.
OutgoingReply pictureReply(const imaging::Picture& picture, bool sensitive);
OutgoingReply infoReply(const imaging::PictureInfo& info);
OutgoingReply failureReply(const fileio::Status& status, wire::ReplyKind kind = wire::ReplyKind::Failed);

} // namespace mv::sandbox
