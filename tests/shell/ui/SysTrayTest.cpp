// The tray icon on a real X server (ctest runs this under xvfb-run), with each kind of tray a
// desktop may have: an X tray (trayer), a StatusNotifier host on the session bus (a watcher of
// the test's own on a private bus), and none at all. Qt settles on one kind of tray per process,
// so ctest runs each suite in a process of its own; the process has a session bus of its own
// (nothing of the real desktop's tray can answer) and its QApplication on the X server. Without
// an X server the tests skip.
#include "shell/ui/SysTray.h"
#include "WindowTestBase.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "shell/PrivateBus.h"
#include "shell/ui/FakeStatusNotifierWatcher.h"
#include "shell/ui/XEmbedTrayWatch.h"
#include "support/QtAppEnvironment.h"
#include "viewing/ViewingTestFiles.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;
using namespace mv::shell;

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

// Qt's own window for an icon in an X tray, and whether the tray took it in (its parent is then
// the tray's window, no longer the root).
QWidget* xembedIcon()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QSystemTrayIconSys") && w->isVisible())
            return w;
    return nullptr;
}
bool embedded(QWidget* w)
{
    auto* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, xcb_window_t(w->winId())), nullptr);
    const bool inTray = tree && tree->parent != tree->root;
    std::free(tree);
    return inTray;
}

// The process's choice of tray belongs to the first suite that runs in it.
const char* g_suite = nullptr;

class TrayTest : public test::WindowTestBase {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb"_L1)
            GTEST_SKIP() << "needs an X server: ctest runs these tests under xvfb-run -a";
        const char* suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
        if (g_suite && qstrcmp(g_suite, suite) != 0)
            GTEST_SKIP()
                << "Qt chose its tray for this process already: one suite per process (ctest does so)";
        g_suite = suite;
        if (XEmbedTrayWatch().present())
            GTEST_SKIP() << "this display has a tray of its own: run under xvfb-run -a (ctest does so)";
        test::WindowTestBase::SetUp();
    }
    void TearDown() override
    {
        test::WindowTestBase::TearDown();
        trayer_.kill();
        trayer_.waitForFinished();
    }
    bool startTrayer()
    {
        trayer_.start(u"trayer"_s, {u"--height"_s, u"24"_s});
        return trayer_.waitForStarted();
    }

    QProcess trayer_;
};

using TrayXEmbed = TrayTest;
using TrayOnTheBus = TrayTest;

} // namespace

// An icon in an X tray: trayer takes it in; a left click brings the minimized window back from
// the tray in its last state. When the panel ends, the window hidden in it comes back to the
// task bar instead of staying out of reach; a panel that starts again takes it back, and
// "Unload Mirravelnock!" in the right button's menu unloads the window hidden there.
TEST_F(TrayXEmbed, TrayerTakesTheIconAndAPanelThatEndsGivesTheWindowBack)
{
    if (QStandardPaths::findExecutable(u"trayer"_s).isEmpty())
        GTEST_SKIP() << "trayer is not installed (Debian: trayer)";
    ASSERT_TRUE(startTrayer());
    MainWindow& w = start();
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && xembedIcon() && embedded(xembedIcon()); }));
    w.showMaximized();
    w.showMinimized();
    ASSERT_TRUE(until([&] { return w.isHidden(); }));
    QTest::mouseClick(xembedIcon(), Qt::LeftButton);
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMaximized());

    w.showMinimized();
    ASSERT_TRUE(until([&] { return w.isHidden(); }));
    trayer_.kill();
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMinimized());
    EXPECT_FALSE(w.sysTray().isAdded());
    trayer_.waitForFinished();
    ASSERT_TRUE(startTrayer());
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && w.isHidden() && xembedIcon(); }));

    // Unloaded from the tray while hidden there: Qt does not count a hidden window as the last
    // one closing, the window ends the program itself.
    QSignalSpy unloading(&w, &MainWindow::unloading);
    QMenu* menu = menus().MenuPopMenu;
    QTest::mouseClick(xembedIcon(), Qt::RightButton);
    ASSERT_TRUE(until([&] { return menu->isVisible(); }));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menus().MenuUnload).center());
    EXPECT_TRUE(until([&] { return unloading.size() == 1; }));
}

// A StatusNotifier item. No tray at all: minimizing by /M keeps the window on the task bar. A
// panel that starts afterwards gets the icon and the minimized window goes into it; when the
// panel ends, the window hidden in it comes back. (Bringing it back from the icon is the X
// tray's test: both kinds reach the window as the same activation.)
TEST_F(TrayOnTheBus, ALatePanelGetsTheIconAndItsEndBringsTheWindowBack)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no private session bus (Debian: dbus-daemon)";
    MainWindow& w = start(false, {}, true);
    (void)until([] { return false; }, 500);
    EXPECT_FALSE(w.sysTray().isAdded());
    EXPECT_TRUE(w.isVisible() && w.isMinimized());

    // A decrypted picture on show when the window goes into the tray does not come back with
    // it unasked.
    const QString secret = pics_.filePath(u"secret.png"_s);
    ASSERT_TRUE(mvtest::flat(30, 20, Qt::red).save(secret));
    ASSERT_EQ(mv::crypto::encryptOne(secret, "key 1").kind, mv::crypto::CryptOutcome::Done);
    ASSERT_TRUE(test::part<mv::crypto::KeyState>(w).append(mv::crypto::SecretText::fromText(u"key 1"_s)));
    ASSERT_TRUE(listAll());
    ASSERT_TRUE(until([&] { return files().find(u"secret_png.mv$"_s) >= 0; }));
    files().selectRow(files().find(u"secret_png.mv$"_s));
    ASSERT_TRUE(until([&] { return control().pictureObject().sensitive; }));

    test::FakeStatusNotifierWatcher panel;
    ASSERT_TRUE(panel.start());
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && w.isHidden() && panel.items().size() == 1; }));
    panel.stop();
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMinimized());
    EXPECT_FALSE(area().hasPicture());
}
