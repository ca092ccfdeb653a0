// Plays an animation's frames on a timer: each for its own delay (at least kMinFrameDelayMs,
// so a file that asks for none cannot spin the user-interface thread), as many times as the
// file says. The image control owns one, pauses it while hidden and stops it when the
// picture goes.
#pragma once

#include "imaging/base/Animation.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace mv::imaging {

inline constexpr int kMinFrameDelayMs = 20;

class FramePlayer : public QObject {
    Q_OBJECT

public:
    explicit FramePlayer(QObject* parent = nullptr);

    // Starts at the first frame; a null or one-frame animation only stops what played.
    void play(std::shared_ptr<const Animation> animation, bool paused);
    void stop();
    // Paused, the current frame stays and its full delay runs again on resume.
    void setPaused(bool paused);

    [[nodiscard]] int frame() const { return frame_; }
    [[nodiscard]] bool isRunning() const { return timer_.isActive(); }
    // The delay the current frame is shown for.
    [[nodiscard]] int frameDelay() const;

    // As if the current frame's delay had run out (when running), without waiting for it.
    void advanceForTesting();

signals:
    void frameChanged(int frame);

private:
    void next();
    void schedule();

    std::shared_ptr<const Animation> animation_;
    QTimer timer_;
    int frame_ = 0;
    int loopsLeft_ = 0; // -1: forever
    bool finished_ = false;
    bool paused_ = false;
};

} // namespace mv::imaging
