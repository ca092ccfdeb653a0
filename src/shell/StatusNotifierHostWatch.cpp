#include "shell/StatusNotifierHostWatch.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace mv::shell {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

StatusNotifierHostWatch::StatusNotifierHostWatch(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus)
{
    if (!bus_.isConnected()) {
        known_ = true;
        return;
    }
    auto* watcher = new QDBusServiceWatcher(
        kWatcher, bus_,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierHostWatch::ask);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++asked_; // an answer still on its way is older than this
        settle(false);
    });
    // A watcher may be up before any panel has registered as its host.
    bus_.connect(kWatcher, kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostRegistered"), this,
                 SLOT(ask()));
    bus_.connect(kWatcher, kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostUnregistered"), this,
                 SLOT(ask()));
    ask();
}

void StatusNotifierHostWatch::ask()
{
    // What Qt itself asks before it talks to the host: without a host the watcher is no tray.
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const quint64 question = ++asked_;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, question] {
        call->deleteLater();
        if (question != asked_)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *call;
        settle(!reply.isError() && reply.value().variant().toBool());
    });
}

void StatusNotifierHostWatch::settle(bool present)
{
    if (known_ && present == present_)
        return;
    known_ = true;
    present_ = present;
    emit changed();
}

} // namespace mv::shell
