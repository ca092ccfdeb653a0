#include "imaging/qt/QtFrames.h"

namespace mv::imaging {

namespace {

// What a frame costs beyond its pixels, so that a file of a million one-pixel frames meets
// the limit too.
constexpr std::int64_t kFrameOverhead = 1024;

std::int64_t frameCost(const QImage& image)
{
    return std::int64_t(image.sizeInBytes()) + kFrameOverhead;
}

} // namespace

std::shared_ptr<const Animation> readFurtherFrames(QImageReader& reader, const QImage& first,
                                                   std::int64_t maxBytes)
{
    if (!reader.supportsAnimation())
        return nullptr;
    auto animation = std::make_shared<Animation>();
    animation->frames.push_back({first, reader.nextImageDelay()});
    std::int64_t held = frameCost(first);
    while (reader.canRead()) {
        QImage frame = reader.read();
        if (frame.isNull())
            break; // a damaged later frame ends the animation; the frames before it play
        held += frameCost(frame);
        if (held > maxBytes) {
            animation->cutShort = true;
            break;
        }
        animation->frames.push_back({std::move(frame), reader.nextImageDelay()});
    }
    if (animation->frames.size() < 2)
        return nullptr;
    animation->loopCount = reader.loopCount();
    return animation;
}

} // namespace mv::imaging
