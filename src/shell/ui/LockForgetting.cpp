#include "shell/ui/LockForgetting.h"

#include "shell/AppSettings.h"
#include "shell/SessionLockWatch.h"

#include <QAction>
#include <QThread>

namespace mv::shell {

LockForgetting::LockForgetting(QAction* item, AppSettings* settings, std::function<void()> forget,
                               QObject* parent)
    : QObject(parent), item_(item), settings_(settings), forget_(std::move(forget))
{
    connect(item_, &QAction::triggered, this, &LockForgetting::mnuForgetOnLock_Click);
}

LockForgetting::~LockForgetting()
{
    if (desktop_) {
        desktop_->quit();
        desktop_->wait();
        delete desktop_;
    }
}

void LockForgetting::listenOnDesktop()
{
    if (desktop_)
        return;
    desktop_ = new QThread;
    desktop_->setObjectName(QStringLiteral("session lock watch"));
    auto* home = new QObject;
    home->moveToThread(desktop_);
    connect(desktop_, &QThread::finished, home, &QObject::deleteLater);
    // Made on the worker: reaching the buses may take a while where one is slow to answer.
    QMetaObject::invokeMethod(
        home,
        [this, home] {
            auto* watch = new SessionLockWatch(home);
            connect(watch, &SessionLockWatch::locking, this, &LockForgetting::onLocking,
                    Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    desktop_->start();
}

void LockForgetting::listen(const SessionLockWatch* watch)
{
    connect(watch, &SessionLockWatch::locking, this, &LockForgetting::onLocking);
}

void LockForgetting::mnuForgetOnLock_Click()
{
    if (settings_)
        settings_->setTruth(Setting::ForgetKeysOnLock, item_->isChecked());
}

void LockForgetting::onLocking()
{
    if (!item_->isChecked())
        return;
    forget_();
    emit forgotten();
}

} // namespace mv::shell
