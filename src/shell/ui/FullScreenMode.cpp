#include "shell/ui/FullScreenMode.h"

#include "viewing/ui/PictureArea.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

namespace mv::shell {

namespace {

void collectItems(const QList<QAction*>& from, QList<QAction*>& into)
{
    for (QAction* a : from) {
        if (a->menu())
            collectItems(a->menu()->actions(), into);
        else if (!a->shortcut().isEmpty())
            into << a;
    }
}

// The key the file list gets for a travel key pressed in full screen; 0 for any other.
int travelKey(const QKeyEvent& key)
{
    if (key.modifiers() & ~Qt::KeypadModifier)
        return 0;
    switch (key.key()) {
    case Qt::Key_Left: return Qt::Key_Up;
    case Qt::Key_Right: return Qt::Key_Down;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return key.key();
    default: return 0;
    }
}

} // namespace

FullScreenMode::FullScreenMode(QMainWindow* window, viewing::PictureArea* area, QWidget* fileList,
                               std::function<void()> relayout)
    : QObject(window), window_(window), area_(area), fileList_(fileList), relayout_(std::move(relayout))
{
    idle_.setSingleShot(true);
    idle_.setInterval(kPointerIdleMs);
    connect(&idle_, &QTimer::timeout, this, &FullScreenMode::hidePointer);
}

FullScreenMode::~FullScreenMode()
{
    showPointer();
}

void FullScreenMode::enter()
{
    if (active_)
        return;
    active_ = true;
    savedState_ = window_->windowState() & ~Qt::WindowFullScreen;
    savedGeometry_ = window_->geometry();
    // The menus' keys answer only for items on a visible widget.
    collectItems(window_->menuBar()->actions(), borrowed_);
    window_->addActions(borrowed_);
    window_->menuBar()->hide();
    hidden_.clear();
    for (QWidget* pane : window_->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (pane != area_ && pane->isVisible()) {
            hidden_ << pane;
            pane->hide();
        }
    }
    savedPalette_ = area_->pictureFrame()->palette();
    QPalette black = savedPalette_;
    black.setColor(QPalette::Window, Qt::black);
    area_->pictureFrame()->setPalette(black);
    qApp->installEventFilter(this);
    window_->showFullScreen();
    layout();
    idle_.start();
    emit activeChanged(true);
}

void FullScreenMode::leave()
{
    if (!active_)
        return;
    active_ = false;
    qApp->removeEventFilter(this);
    idle_.stop();
    showPointer();
    area_->pictureFrame()->setPalette(savedPalette_);
    for (QAction* a : std::as_const(borrowed_))
        window_->removeAction(a);
    borrowed_.clear();
    window_->menuBar()->show();
    for (const QPointer<QWidget>& pane : std::as_const(hidden_))
        if (pane)
            pane->show();
    hidden_.clear();
    window_->setWindowState(savedState_);
    if (!(savedState_ & (Qt::WindowMaximized | Qt::WindowMinimized)))
        window_->setGeometry(savedGeometry_);
    relayout_();
    fileList_->setFocus();
    emit activeChanged(false);
}

void FullScreenMode::layout()
{
    if (active_)
        area_->setGeometry(window_->centralWidget()->rect());
}

void FullScreenMode::showPointer()
{
    if (std::exchange(pointerHidden_, false))
        QGuiApplication::restoreOverrideCursor();
}

void FullScreenMode::hidePointer()
{
    if (active_ && !pointerHidden_) {
        pointerHidden_ = true;
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    }
}

bool FullScreenMode::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        showPointer();
        idle_.start();
        break;
    case QEvent::KeyPress: {
        // Only keys meant for the window; a dialog over it (the key question) keeps its own.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget == fileList_ || widget->window() != window_)
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            emit escapePressed();
            leave();
            return true;
        }
        if (const int travel = travelKey(*key)) {
            QKeyEvent forwarded(QEvent::KeyPress, travel, Qt::NoModifier);
            QApplication::sendEvent(fileList_, &forwarded);
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mv::shell
