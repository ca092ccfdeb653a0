// The picture area of the main window: the frame that holds the image control, with a
// scroll bar along its bottom and right edge shown only when the picture is larger than the
// frame. The window gives the area its rectangle; the area places its frame and bars inside
// it, fits or zooms the picture, and lets the user scroll or drag it. None of its widgets takes
// the keyboard focus: the keys belong to the file list. Screen readers see the area as a
// graphic named after the picture on show, its file and size, or "No picture"; the name
// changes, and is announced, as the picture does.
#pragma once

#include "viewing/PictureLoad.h"

#include <QPoint>
#include <QWidget>

class QScrollBar;

namespace mv::imaging {
class ImageControl;
struct Picture;
} // namespace mv::imaging

namespace mv::viewing {

class PictureArea : public QWidget {
    Q_OBJECT

public:
    explicit PictureArea(QWidget* parent = nullptr);

    [[nodiscard]] imaging::ImageControl* imageControl() const { return control_; }
    [[nodiscard]] QWidget* pictureFrame() const { return frame_; }
    [[nodiscard]] QScrollBar* horizontalBar() const { return hBar_; }
    [[nodiscard]] QScrollBar* verticalBar() const { return vBar_; }

    // Shows a picture decoded elsewhere as the file at path, and arranges it.
    void showLoaded(const imaging::Picture& picture, const QString& path);
    [[nodiscard]] bool hasPicture() const;

    // ArrangeImage: fits or zooms the picture on show, sets up the bars and centres it.
    void arrangeImage();
    // ResetView: clears the picture, the pointer and both bars; emits viewCleared().
    void resetView();

    // The zoom menu's item: 0 Best Fit, 1 .. 11 the factors 25% .. 500%. Out of range: false.
    bool setZoomIndex(int index);
    // The same, keeping the picture point under `anchor` (frame pixels) where it is, as far as
    // the bars reach.
    bool setZoomIndex(int index, QPoint anchor);
    // The zoom item `steps` levels larger (or smaller, when negative) than the picture is now
    // drawn; from Best Fit the levels count from the fitted scale. Stops at 25 % and 500 %.
    [[nodiscard]] int steppedZoomIndex(int steps) const;
    // Turns the picture on show by `quarters` quarter turns clockwise (negative: the other
    // way), for viewing only, and arranges it anew. Nothing on show: nothing happens.
    void turnView(int quarters);
    [[nodiscard]] int zoomIndex() const { return zoomIndex_; }
    // Where a picture shown now would be drawn, for the worker that prepares it.
    [[nodiscard]] DrawPlace drawPlace() const;

signals:
    // The view was cleared; the window shows its banner line in the information bar.
    void viewCleared();
    // A right click on the picture cleared the view.
    void pictureRightClicked();
    // A press on the frame beside the picture.
    void frameClicked();
    // The mouse moved over the picture or its frame without dragging the picture.
    void mouseMovedOverPicture();
    // A click on the area: the keyboard goes back to the file list.
    void focusFileListRequested();
    // The zoom or the area's size changed: the picture may need decoding at another size.
    void viewSizeChanged();
    // Ctrl+wheel or a pinch over the picture: zoom `steps` levels about `anchor` (frame pixels).
    void zoomStepRequested(int steps, QPoint anchor);
    // One picture file was dropped on the area, to be shown.
    void pictureDropped(const QString& path);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Drops: one plain picture file is taken, as a copy; anything else gets the no-drop cursor.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class PanState {
        Idle,
        Dragging,
        Held // left button with Ctrl or Alt: no dragging
    };

    void layoutEmpty();
    void nameAfterPicture();
    void placeFrameAndBars(bool hVisible, bool vVisible);
    void onHorizontalValue(int value);
    void onVerticalValue(int value);
    bool controlMouse(QEvent* event);
    bool frameMouse(QEvent* event);
    [[nodiscard]] QPoint framePosition(const QPointF& globalPosition) const;
    [[nodiscard]] int barThickness() const;
    bool zoomGesture(QEvent* event);

    QWidget* frame_ = nullptr;
    imaging::ImageControl* control_ = nullptr;
    QScrollBar* hBar_ = nullptr;
    QScrollBar* vBar_ = nullptr;
    int zoomIndex_ = 4;
    bool arranging_ = false;
    qreal arrangedRatio_ = 0; // the device pixel ratio the picture was arranged for
    PanState pan_ = PanState::Idle;
    QPoint panStart_;
    int panStartH_ = 0;
    int panStartV_ = 0;
    int wheelAngle_ = 0;    // Ctrl+wheel eighths of a degree not yet a whole step
    double pinchScale_ = 0; // pinch scale not yet a whole step
};

} // namespace mv::viewing
