// File menu, "Forget keys when the session locks or sleeps": while it is checked (as it is
// unless the user turned it off), the desktop session locking, the screen saver starting or the
// machine going to sleep does what "Clear Passwords" does, so that nobody who sits down at the
// computer next finds the keys typed so far still at work. Where no D-Bus service tells of
// these, the item is there all the same and has nothing to listen to.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QThread;

namespace mv::shell {

class AppSettings;
class SessionLockWatch;

class LockForgetting : public QObject {
    Q_OBJECT

public:
    // `item` is the menu item, stored in `settings` (none in a second instance, which never
    // saves); `forget` is what "Clear Passwords" runs.
    LockForgetting(QAction* item, AppSettings* settings, std::function<void()> forget, QObject* parent);
    ~LockForgetting() override;

    // Listens on the user's session bus and the system bus. They are reached on a worker of
    // its own, so a slow or missing bus never holds up the window.
    void listenOnDesktop();
    // Listens to `watch` as well (tests hand in one on a private bus); it stays the caller's.
    void listen(const SessionLockWatch* watch);

    // The item's click: stores the new state.
    void mnuForgetOnLock_Click();

signals:
    // The keys were forgotten because the session locked or slept.
    void forgotten();

private:
    void onLocking();

    QAction* item_;
    AppSettings* settings_;
    std::function<void()> forget_;
    QThread* desktop_ = nullptr;
};

} // namespace mv::shell
