// The application's wait cursor while work the user waits for runs. Shown twice it is still one
// cursor, and it goes with its holder, so a window closed mid-work leaves no hourglass behind.
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace mv::widgets {

class WaitCursor {
public:
    WaitCursor() = default;
    explicit WaitCursor(bool shown) { show(shown); }
    ~WaitCursor() { show(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void show(bool shown)
    {
        if (shown == shown_)
            return;
        shown_ = shown;
        if (shown)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    }
    [[nodiscard]] bool shown() const { return shown_; }

private:
    bool shown_ = false;
};

} // namespace mv::widgets
