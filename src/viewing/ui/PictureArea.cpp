#include "viewing/ui/PictureArea.h"

#include "browser/FileDragDrop.h"
#include "browser/ViewArrangement.h"
#include "imaging/base/DrawnSize.h"
#include "imaging/ui/ImageControl.h"
#include "viewing/ui/ViewingAccessible.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <array>

namespace mv::viewing {

namespace {

// The zoom menu: Best Fit, then 25% .. 500%.
constexpr std::array<double, 12> kZoomLevels = {0, 0.25, 0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 3, 4, 5};
// Pixels an arrow click on a bar moves the picture.
constexpr int kArrowStep = 16;

void applyBar(QScrollBar* bar, const browser::ScrollBarArrangement& plan)
{
    bar->setRange(0, plan.visible ? plan.maximum : 0);
    bar->setPageStep(qMax(1, plan.pageStep));
    bar->setValue(plan.value);
    bar->setVisible(plan.visible);
}

QScrollBar* makeBar(Qt::Orientation orientation, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setSingleStep(kArrowStep);
    bar->hide();
    return bar;
}

} // namespace

PictureArea::PictureArea(QWidget* parent) : QWidget(parent)
{
    installViewingAccessibility();
    setFocusPolicy(Qt::NoFocus);
    // The frame and the picture take no drops, so theirs come here.
    setAcceptDrops(true);

    frame_ = new QWidget(this);
    frame_->setObjectName(QStringLiteral("ImgFrame"));
    frame_->setAutoFillBackground(true);
    frame_->setBackgroundRole(QPalette::Window);
    frame_->setFocusPolicy(Qt::NoFocus);
    frame_->setMouseTracking(true);
    frame_->installEventFilter(this);

    control_ = new imaging::ImageControl(frame_);
    control_->setObjectName(QStringLiteral("ImgView"));
    control_->setFocusPolicy(Qt::NoFocus);
    control_->setMouseTracking(true);
    control_->installEventFilter(this);
    control_->hide();

    hBar_ = makeBar(Qt::Horizontal, this);
    hBar_->setObjectName(QStringLiteral("ImgHScroll"));
    vBar_ = makeBar(Qt::Vertical, this);
    vBar_->setObjectName(QStringLiteral("ImgVScroll"));
    connect(hBar_, &QScrollBar::valueChanged, this, &PictureArea::onHorizontalValue);
    connect(vBar_, &QScrollBar::valueChanged, this, &PictureArea::onVerticalValue);

    layoutEmpty();
    nameAfterPicture();
}

void PictureArea::nameAfterPicture()
{
    // Setting a new name tells screen readers it changed.
    const QString file = control_->pictureFile();
    const QString name = file.isEmpty() ? tr("No picture")
                                        : tr("%1, %2 by %3 pixels")
                                              .arg(QFileInfo(file).fileName())
                                              .arg(control_->pictureWidth())
                                              .arg(control_->pictureHeight());
    if (name != accessibleName())
        setAccessibleName(name);
}

bool PictureArea::hasPicture() const
{
    return !control_->pictureFile().isEmpty();
}

DrawPlace PictureArea::drawPlace() const
{
    DrawPlace place;
    place.areaSize = size();
    place.barThickness = barThickness();
    place.bestFit = zoomIndex_ == 0;
    place.zoom = place.bestFit ? 1.0 : kZoomLevels[std::size_t(zoomIndex_)];
    place.devicePixelRatio = devicePixelRatioF();
    return place;
}

void PictureArea::showLoaded(const imaging::Picture& picture, const QString& path)
{
    control_->hide();
    control_->setPicture(picture, path);
    arrangeImage();
    nameAfterPicture();
}

void PictureArea::arrangeImage()
{
    if (!hasPicture())
        return;
    frame_->setCursor(pan_ == PanState::Dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor);

    browser::ViewArrangementInput input;
    input.pictureSize = control_->turnedSize();
    input.bestFit = zoomIndex_ == 0;
    input.zoomedSize = control_->sizeHint();
    input.areaSize = size();
    input.barThickness = barThickness();
    const browser::ViewArrangement plan = browser::arrangeView(input);

    // Setting up the bars moves their values; the picture is placed once, below.
    arranging_ = true;
    arrangedRatio_ = devicePixelRatioF();
    control_->setFitMode(int(plan.fit));
    applyBar(hBar_, plan.horizontal);
    applyBar(vBar_, plan.vertical);
    placeFrameAndBars(plan.horizontal.visible, plan.vertical.visible);
    control_->setGeometry(QRect(plan.position, plan.drawnSize));
    control_->show();
    arranging_ = false;
}

void PictureArea::resetView()
{
    control_->clear();
    frame_->unsetCursor();
    control_->hide();
    pan_ = PanState::Idle;
    layoutEmpty();
    nameAfterPicture();
    emit viewCleared();
}

bool PictureArea::setZoomIndex(int index)
{
    if (index < 0 || index >= int(kZoomLevels.size()))
        return false;
    control_->hide();
    zoomIndex_ = index;
    if (index == 0) {
        // The direction is chosen when the picture is arranged.
        control_->setFitMode(imaging::ImageControl::FitWidth);
    } else {
        control_->setFitMode(imaging::ImageControl::Zoom);
        (void)control_->setZoomFactor(kZoomLevels[std::size_t(index)]);
    }
    arrangeImage();
    emit viewSizeChanged();
    return true;
}

bool PictureArea::setZoomIndex(int index, QPoint anchor)
{
    // Which fraction of the picture lies under the anchor now, to lie there again afterwards.
    const QRect before = control_->geometry();
    const bool keep = hasPicture() && !before.isEmpty();
    const QPointF fraction = keep ? QPointF(double(anchor.x() - before.x()) / before.width(),
                                            double(anchor.y() - before.y()) / before.height())
                                  : QPointF();
    if (!setZoomIndex(index))
        return false;
    if (keep) {
        const QSize after = control_->size();
        if (hBar_->isVisible())
            hBar_->setValue(qRound(fraction.x() * after.width()) - anchor.x());
        if (vBar_->isVisible())
            vBar_->setValue(qRound(fraction.y() * after.height()) - anchor.y());
    }
    return true;
}

int PictureArea::steppedZoomIndex(int steps) const
{
    double scale = zoomIndex_ == 0 ? 1.0 : kZoomLevels[std::size_t(zoomIndex_)];
    if (zoomIndex_ == 0 && hasPicture()) {
        const QSize full = imaging::zoomedControlSize(control_->turnedSize(), 1.0, devicePixelRatioF());
        if (full.width() > 0)
            scale = double(control_->width()) / full.width();
    }
    // The first level past the present scale, then one more for each further step.
    int index = 0;
    if (steps > 0) {
        index = int(kZoomLevels.size()) - 1;
        for (std::size_t i = 1; i < kZoomLevels.size(); ++i)
            if (kZoomLevels[i] > scale * 1.001) {
                index = int(i);
                break;
            }
        index += steps - 1;
    } else if (steps < 0) {
        index = 1;
        for (std::size_t i = kZoomLevels.size() - 1; i >= 1; --i)
            if (kZoomLevels[i] < scale * 0.999) {
                index = int(i);
                break;
            }
        index += steps + 1;
    } else {
        return zoomIndex_;
    }
    return qBound(1, index, int(kZoomLevels.size()) - 1);
}

void PictureArea::turnView(int quarters)
{
    if (!hasPicture())
        return;
    control_->hide();
    control_->setQuarterTurns(control_->quarterTurns() + quarters);
    arrangeImage();
    emit viewSizeChanged();
}

bool PictureArea::zoomGesture(QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            return false; // a plain wheel is left to scroll the area
        wheelAngle_ += wheel->angleDelta().y();
        const int steps = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
        wheelAngle_ -= steps * QWheelEvent::DefaultDeltasPerStep;
        if (steps != 0)
            emit zoomStepRequested(steps, framePosition(wheel->globalPosition()));
        return true;
    }
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() != Qt::ZoomNativeGesture)
            return false;
        // A pinch reports the change of scale since its last event; a quarter is a step.
        pinchScale_ += gesture->value();
        const int steps = int(pinchScale_ / 0.25);
        pinchScale_ -= steps * 0.25;
        if (steps != 0)
            emit zoomStepRequested(steps, framePosition(gesture->globalPosition()));
        return true;
    }
    return false;
}

bool PictureArea::event(QEvent* event)
{
    // Moved to a screen of another pixel ratio, a zoomed picture covers other logical pixels and
    // a fitted one other device pixels. Qt 6.4 tells a widget only that its window changed
    // screens, so the ratio is compared here. The area hears it before the image control
    // inside it, which then keeps the size given.
    const bool screenChanged = event->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
                               || event->type() == QEvent::DevicePixelRatioChange
#endif
        ;
    const bool handled = QWidget::event(event);
    if (screenChanged && hasPicture() && devicePixelRatioF() != arrangedRatio_) {
        arrangeImage();
        emit viewSizeChanged();
    }
    return handled;
}

void PictureArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (hasPicture()) {
        arrangeImage();
        emit viewSizeChanged();
    } else {
        layoutEmpty();
    }
}

void PictureArea::layoutEmpty()
{
    arranging_ = true;
    hBar_->hide();
    vBar_->hide();
    hBar_->setRange(0, 0);
    vBar_->setRange(0, 0);
    arranging_ = false;
    placeFrameAndBars(false, false);
}

// The frame gives up a strip for each visible bar; a bar is as long as the frame's side, so
// with both bars the corner between them stays empty.
void PictureArea::placeFrameAndBars(bool hVisible, bool vVisible)
{
    const int thickness = barThickness();
    const int frameWidth = qMax(0, width() - (vVisible ? thickness : 0));
    const int frameHeight = qMax(0, height() - (hVisible ? thickness : 0));
    frame_->setGeometry(0, 0, frameWidth, frameHeight);
    if (hVisible)
        hBar_->setGeometry(0, frameHeight, frameWidth, thickness);
    if (vVisible)
        vBar_->setGeometry(frameWidth, 0, thickness, frameHeight);
}

int PictureArea::barThickness() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, hBar_);
}

void PictureArea::onHorizontalValue(int value)
{
    if (!arranging_)
        control_->move(-value, control_->y());
}

void PictureArea::onVerticalValue(int value)
{
    if (!arranging_)
        control_->move(control_->x(), -value);
}

namespace {

// Whether the picture area takes this drop: one picture file, as a copy.
bool takesDrop(const QDropEvent& event)
{
    return (event.possibleActions() & Qt::CopyAction) && event.mimeData() &&
           !browser::droppedPicture(*event.mimeData()).isEmpty();
}

// Takes a drop the area can show as a copy, and turns any other away.
bool acceptDrop(QDropEvent& event)
{
    if (!takesDrop(event)) {
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

} // namespace

void PictureArea::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void PictureArea::dragMoveEvent(QDragMoveEvent* event)
{
    (void)acceptDrop(*event);
}

void PictureArea::dropEvent(QDropEvent* event)
{
    if (acceptDrop(*event))
        emit pictureDropped(browser::droppedPicture(*event->mimeData()));
}

QPoint PictureArea::framePosition(const QPointF& globalPosition) const
{
    return frame_->mapFromGlobal(globalPosition).toPoint();
}

bool PictureArea::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == control_ || watched == frame_) && zoomGesture(event))
        return true;
    if (watched == control_)
        return controlMouse(event);
    if (watched == frame_)
        return frameMouse(event);
    return QWidget::eventFilter(watched, event);
}

bool PictureArea::controlMouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit focusFileListRequested();
        if (mouse->button() == Qt::RightButton) {
            resetView();
            emit pictureRightClicked();
        } else if (mouse->button() == Qt::LeftButton) {
            panStart_ = framePosition(mouse->globalPosition());
            panStartH_ = hBar_->value();
            panStartV_ = vBar_->value();
            const Qt::KeyboardModifiers held = mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                                     Qt::AltModifier | Qt::MetaModifier);
            const bool noDrag = hasPicture() && (held == Qt::ControlModifier || held == Qt::AltModifier);
            pan_ = noDrag ? PanState::Held : PanState::Dragging;
            if (pan_ == PanState::Dragging && hasPicture())
                frame_->setCursor(Qt::ClosedHandCursor);
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (pan_ != PanState::Dragging || !hasPicture()) {
            emit mouseMovedOverPicture();
            return true;
        }
        // The bars move the picture; it follows the mouse as far as they reach.
        const QPoint at = framePosition(mouse->globalPosition());
        if (hBar_->isVisible())
            hBar_->setValue(qBound(0, panStartH_ - (at.x() - panStart_.x()), hBar_->maximum()));
        if (vBar_->isVisible())
            vBar_->setValue(qBound(0, panStartV_ - (at.y() - panStart_.y()), vBar_->maximum()));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            pan_ = PanState::Idle;
            if (hasPicture())
                frame_->setCursor(Qt::OpenHandCursor);
        }
        return true;
    case QEvent::MouseButtonDblClick: emit focusFileListRequested(); return true;
    default: return false;
    }
}

bool PictureArea::frameMouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit focusFileListRequested();
        emit frameClicked();
        return true;
    case QEvent::MouseButtonDblClick: emit focusFileListRequested(); return true;
    case QEvent::MouseMove: emit mouseMovedOverPicture(); return true;
    default: return false;
    }
}

} // namespace mv::viewing
