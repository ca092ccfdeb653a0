#include "shell/SessionLockWatch.h"

namespace mv::shell {

namespace {

// Screen savers that announce themselves on the session bus, each at its own interface.
constexpr const char* kScreenSavers[] = {
    "org.freedesktop.ScreenSaver",
    "org.gnome.ScreenSaver",
    "org.cinnamon.ScreenSaver",
    "org.mate.ScreenSaver",
};

} // namespace

SessionLockWatch::SessionLockWatch(QObject* parent) : QObject(parent)
{
    listen(QDBusConnection::sessionBus(), QDBusConnection::systemBus());
}

SessionLockWatch::SessionLockWatch(const QDBusConnection& session, const QDBusConnection& system,
                                   QObject* parent)
    : QObject(parent)
{
    listen(session, system);
}

void SessionLockWatch::listen(QDBusConnection session, QDBusConnection system)
{
    // An empty service and path take the signal from whoever sends it, wherever the object
    // lives: screen savers differ in both, and logind names each session's object apart.
    if (session.isConnected()) {
        for (const char* saver : kScreenSavers)
            listening_ |= session.connect({}, {}, QLatin1String(saver), QStringLiteral("ActiveChanged"), this,
                                          SLOT(onActiveChanged(bool)));
    }
    if (system.isConnected()) {
        // Any session's lock counts: forgetting keys once too often costs a question, once
        // too few costs the user's files.
        listening_ |= system.connect({}, {}, QStringLiteral("org.freedesktop.login1.Session"),
                                     QStringLiteral("Lock"), this, SLOT(onLock()));
        listening_ |= system.connect({}, QStringLiteral("/org/freedesktop/login1"),
                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                     QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
    }
}

void SessionLockWatch::onLock()
{
    emit locking();
}

void SessionLockWatch::onActiveChanged(bool active)
{
    if (active)
        emit locking();
}

void SessionLockWatch::onPrepareForSleep(bool sleeping)
{
    if (sleeping)
        emit locking();
}

} // namespace mv::shell
