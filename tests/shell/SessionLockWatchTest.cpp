// The lock, screen-saver and sleep signals, sent on a private bus of the test's own.
#include "shell/SessionLockWatch.h"

#include "EventWait.h"
#include "PrivateBus.h"

#include <QDBusMessage>

#include <gtest/gtest.h>

namespace mv::shell {
namespace {

TEST(SessionLockWatch, LockScreenSaverAndSleepSignalsSayLockingAndTheirEndsDoNot)
{
    if (!test::PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    test::PrivateBus bus;
    ASSERT_TRUE(bus.up());
    const QDBusConnection listener = bus.connect(QStringLiteral("listener"));
    QDBusConnection sender = bus.connect(QStringLiteral("sender"));
    SessionLockWatch watch(listener, listener);
    ASSERT_TRUE(watch.isListening());
    test::PrivateBus::settle(listener);
    int locks = 0;
    QObject::connect(&watch, &SessionLockWatch::locking, [&] { ++locks; });

    const auto send = [&](const char* path, const char* interface, const char* member, QVariantList args) {
        QDBusMessage signal =
            QDBusMessage::createSignal(QLatin1String(path), QLatin1String(interface), QLatin1String(member));
        signal.setArguments(args);
        return sender.send(signal);
    };
    struct Case {
        const char* path;
        const char* interface;
        const char* member;
        QVariantList args;
        int locksAfter;
    };
    const Case cases[] = {
        {"/org/freedesktop/login1/session/_32", "org.freedesktop.login1.Session", "Lock", {}, 1},
        {"/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true}, 2},
        {"/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {false}, 2},
        {"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true}, 3},
        {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", {false}, 3},
        {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", {true}, 4},
        {"/org/freedesktop/login1/session/_32", "org.freedesktop.login1.Session", "Unlock", {}, 4},
        {"/org/mate/ScreenSaver", "org.mate.ScreenSaver", "ActiveChanged", {true}, 5},
    };
    // Signals from one sender arrive in order: when a lock after an ignored signal is counted
    // exactly, the ignored one was seen and passed over.
    for (const Case& c : cases) {
        ASSERT_TRUE(send(c.path, c.interface, c.member, c.args)) << c.member;
        EXPECT_TRUE(test::runEventsUntil([&] { return locks >= c.locksAfter; }, 5000))
            << c.interface << c.member;
        EXPECT_EQ(locks, c.locksAfter) << c.interface << " " << c.member;
    }
}

} // namespace
} // namespace mv::shell
