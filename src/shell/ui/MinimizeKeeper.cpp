#include "shell/ui/MinimizeKeeper.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace mv::shell {

MinimizeKeeper::MinimizeKeeper(QWidget* window) : QObject(window), window_(window)
{
    window_->installEventFilter(this);
    watchHandle();
}

void MinimizeKeeper::watchHandle()
{
    QWindow* handle = window_->windowHandle();
    if (handle == handle_)
        return;
    if (handle_) {
        handle_->removeEventFilter(this);
        handle_->disconnect(this);
    }
    handle_ = handle;
    if (!handle_)
        return;
    handle_->installEventFilter(this);
    // A minimize asked of the native window alone (the minimize button Qt draws in a client-side
    // frame) never reaches the widget: it takes it on here, once the request has gone out.
    connect(handle_, &QWindow::windowStateChanged, this, [this](Qt::WindowState state) {
        if (state == Qt::WindowMinimized && !window_->isMinimized())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!window_->isMinimized())
                        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
                },
                Qt::QueuedConnection);
    });
}

bool MinimizeKeeper::onlyDropsMinimized() const
{
    const Qt::WindowStates kept = window_->windowState() & ~Qt::WindowActive;
    return (kept & Qt::WindowMinimized) && handle_->windowStates() == (kept & ~Qt::WindowMinimized);
}

bool MinimizeKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == handle_) {
        // The platform's report, already taken by the QWindow; the widget is told next.
        if (event->type() == QEvent::WindowStateChange && event->spontaneous() && onlyDropsMinimized())
            return true;
        return false;
    }
    if (watched != window_)
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange:
        // The native window is made when the widget is first shown, before any report of it.
        watchHandle();
        break;
    case QEvent::WindowStateChange:
        // Each minimize starts afresh.
        if (bool(static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized) !=
            window_->isMinimized())
            leftWhileMinimized_ = false;
        break;
    case QEvent::WindowDeactivate:
        if (window_->isMinimized())
            leftWhileMinimized_ = true;
        break;
    case QEvent::WindowActivate:
        if (window_->isMinimized() && leftWhileMinimized_ && window_->isVisible()) {
            leftWhileMinimized_ = false;
            // After the activation has run its course, as for any change of state from outside.
            QMetaObject::invokeMethod(
                window_,
                [w = window_] {
                    if (w->isMinimized())
                        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                },
                Qt::QueuedConnection);
        }
        break;
    default: break;
    }
    return false;
}

} // namespace mv::shell
