// The tray tests' process: a session bus of its own (nothing of the real desktop's tray can
// answer) and a QApplication on the X server that ctest starts with xvfb-run. Without an X
// server the tests skip.
#include "shell/PrivateBus.h"
#include "support/QtAppEnvironment.h"

#include <QApplication>

#include <memory>

namespace {

class TrayBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // Before anything reaches for the session bus: Qt connects to it once per process.
        if (mv::shell::test::PrivateBus::available()) {
            bus_ = std::make_unique<mv::shell::test::PrivateBus>();
            if (bus_->up())
                qputenv("DBUS_SESSION_BUS_ADDRESS", bus_->address().toUtf8());
        }
        if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb");
        // A theme plugin of the person running the tests could choose trays its own way.
        qunsetenv("QT_QPA_PLATFORMTHEME");
    }
    void TearDown() override { bus_.reset(); }

private:
    std::unique_ptr<mv::shell::test::PrivateBus> bus_;
};

// In this order: the bus first, then the application.
[[maybe_unused]] const auto* const kBus = ::testing::AddGlobalTestEnvironment(new TrayBusEnvironment);
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("shell_tray_tests");

} // namespace
