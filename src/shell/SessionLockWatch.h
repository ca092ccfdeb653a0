// Tells when the desktop session locks, the screen saver starts or the machine is about to
// sleep, so that the keys typed so far can be forgotten before anyone else sits down. It
// listens on D-Bus: logind's Lock and PrepareForSleep on the system bus, and the screen
// savers' ActiveChanged (freedesktop, GNOME, Cinnamon, MATE) on the session bus.
#pragma once

#include <QDBusConnection>
#include <QObject>

namespace mv::shell {

class SessionLockWatch : public QObject {
    Q_OBJECT

public:
    // Listens on the user's session bus and the system bus.
    explicit SessionLockWatch(QObject* parent = nullptr);
    // Listens on the given buses (tests hand in a private bus for both).
    SessionLockWatch(const QDBusConnection& session, const QDBusConnection& system,
                     QObject* parent = nullptr);

    // Whether any bus could be reached: without one there is nothing to listen to.
    [[nodiscard]] bool isListening() const { return listening_; }

signals:
    // The session locked, the screen saver started, or the machine is going to sleep.
    void locking();

private slots:
    void onLock();
    void onActiveChanged(bool active);
    void onPrepareForSleep(bool sleeping);

private:
    void listen(QDBusConnection session, QDBusConnection system);

    bool listening_ = false;
};

} // namespace mv::shell
