// Full screen: the picture alone on black over the whole screen the window is on. The keys
// that move through the file list still do (Left and Right as Up and Down), the menus' keys
// still answer, Esc or the command again returns to the window as it was: its state, its
// geometry and its lists. The mouse pointer hides after two seconds without movement.
#pragma once

#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>

class QAction;
class QMainWindow;
class QWidget;

namespace mv::viewing {
class PictureArea;
} // namespace mv::viewing

namespace mv::shell {

class FullScreenMode : public QObject {
    Q_OBJECT

public:
    // `fileList` takes the travel keys; `relayout` lays the window out again on return.
    FullScreenMode(QMainWindow* window, viewing::PictureArea* area, QWidget* fileList,
                   std::function<void()> relayout);
    ~FullScreenMode() override;

    static constexpr int kPointerIdleMs = 2000;

    [[nodiscard]] bool active() const { return active_; }
    void enter();
    void leave();
    void toggle() { active_ ? leave() : enter(); }
    // Gives the picture area the whole window; the window's resize calls it while active.
    void layout();
    [[nodiscard]] bool pointerHidden() const { return pointerHidden_; }

signals:
    void activeChanged(bool active);
    // Esc was pressed in full screen (before it returns to the window).
    void escapePressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPointer();
    void hidePointer();

    QMainWindow* window_;
    viewing::PictureArea* area_;
    QWidget* fileList_;
    std::function<void()> relayout_;
    bool active_ = false;
    bool pointerHidden_ = false;
    Qt::WindowStates savedState_;
    QRect savedGeometry_;
    QPalette savedPalette_;
    QList<QPointer<QWidget>> hidden_;
    QList<QAction*> borrowed_; // the menus' items, on the window while its menu bar is hidden
    QTimer idle_;
};

} // namespace mv::shell
