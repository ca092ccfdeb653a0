#include "imaging/ui/FramePlayer.h"

namespace mv::imaging {

FramePlayer::FramePlayer(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &FramePlayer::next);
}

void FramePlayer::play(std::shared_ptr<const Animation> animation, bool paused)
{
    stop();
    if (!animation || animation->frames.size() < 2)
        return;
    animation_ = std::move(animation);
    loopsLeft_ = animation_->loopCount;
    paused_ = paused;
    schedule();
}

void FramePlayer::stop()
{
    timer_.stop();
    animation_.reset();
    frame_ = 0;
    finished_ = false;
}

void FramePlayer::setPaused(bool paused)
{
    paused_ = paused;
    if (paused)
        timer_.stop();
    else if (!timer_.isActive())
        schedule();
}

int FramePlayer::frameDelay() const
{
    if (!animation_)
        return 0;
    return qMax(kMinFrameDelayMs, animation_->frames[size_t(frame_)].delayMs);
}

void FramePlayer::advanceForTesting()
{
    if (timer_.isActive()) {
        timer_.stop();
        next();
    }
}

void FramePlayer::schedule()
{
    if (animation_ && !paused_ && !finished_)
        timer_.start(frameDelay());
}

void FramePlayer::next()
{
    if (!animation_)
        return;
    int following = frame_ + 1;
    if (following >= int(animation_->frames.size())) {
        if (loopsLeft_ == 0) {
            finished_ = true; // the last frame stays, as browsers leave it
            return;
        }
        if (loopsLeft_ > 0)
            --loopsLeft_;
        following = 0;
    }
    frame_ = following;
    emit frameChanged(frame_);
    schedule();
}

} // namespace mv::imaging
