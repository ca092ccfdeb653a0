// A D-Bus daemon of the test's own, so that signals of the desktop (a session locking, the
// machine going to sleep) can be sent without touching the real session.
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace mv::shell::test {

class PrivateBus {
public:
    [[nodiscard]] static bool available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty();
    }
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address")});
        if (daemon_.waitForReadyRead(10000))
            address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    }
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    [[nodiscard]] bool up() const { return !address_.isEmpty(); }
    [[nodiscard]] QString address() const { return address_; }
    QDBusConnection connect(const QString& name)
    {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

    // A call that waits for its answer: the daemon handles a connection's messages in order,
    // so once it returns, the match rules asked for before it are in place and no signal sent
    // from now on can pass the listener by.
    static void settle(const QDBusConnection& listener)
    {
        static_cast<void>(listener.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus")));
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

} // namespace mv::shell::test
