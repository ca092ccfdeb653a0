// The further frames of an animation Qt reads (GIF): read on the worker right after the first,
// each with its delay, until the file ends or kMaxAnimationBytes of frames are held.
#pragma once

#include "imaging/base/Animation.h"

#include <QImage>
#include <QImageReader>

#include <memory>

namespace mv::imaging {

// reader has just read first. Null when the file holds no further frame. Frames are kept
// while their pixels (and a little for each) stay within maxBytes.
std::shared_ptr<const Animation> readFurtherFrames(QImageReader& reader, const QImage& first,
                                                   std::int64_t maxBytes = kMaxAnimationBytes);

} // namespace mv::imaging
