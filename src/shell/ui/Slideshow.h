// The slideshow: the pictures of the file list from the selected one on, full screen, one
// every interval, through the viewer as a selection would show them (so the next one is
// prepared ahead while this one is on show). It never asks for a key: an encrypted picture
// that the keys in hand do not open is passed over. Any key or click ends it on the picture on
// show; so does the end of the list. Full screen ends with it unless it was on before. Keys
// forgotten end it too, and the key that forgets them (Clear Passwords) is left to its command.
#pragma once

#include "viewing/SlideshowPlan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QAction;
#include <optional>

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {
class PictureArea;
class SelectionViewer;
} // namespace mv::viewing

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::shell {

class FullScreenMode;

class Slideshow : public QObject {
    Q_OBJECT

public:
    Slideshow(FullScreenMode& screen, browser::BrowserPane& browser, viewing::SelectionViewer& viewer,
              viewing::PictureArea& area, crypto::KeyState& keys, QObject* parent);
    ~Slideshow() override;

    // Starts from the selected entry (the first when none is); nothing happens when no picture
    // from there on can be shown.
    void start(int intervalSeconds);
    // The command whose key is not claimed by the show: "Clear Passwords".
    void letThrough(const QAction* command) { letThrough_ = command; }
    void stop();
    [[nodiscard]] bool running() const { return plan_.has_value(); }

signals:
    void runningChanged(bool running);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRow(int row);
    void onSettled();
    void schedule();
    void next();

    FullScreenMode& screen_;
    browser::BrowserPane& browser_;
    viewing::SelectionViewer& viewer_;
    viewing::PictureArea& area_;
    crypto::KeyState& keys_;
    std::optional<viewing::SlideshowPlan> plan_;
    QElapsedTimer clock_;
    QTimer step_;
    QMetaObject::Connection settled_;
    std::function<bool(const QString&)> savedAsk_;
    const QAction* letThrough_ = nullptr;
    bool enteredFullScreen_ = false;
    bool refused_ = false; // the selection on its way needed a key that was not in hand
    int pendingRow_ = -1;
};

} // namespace mv::shell
