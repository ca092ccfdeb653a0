// The real program on a real Wayland compositor, the headless sway with-headless-sway.sh starts:
// the window maps natively; a later start's hand-over brings it forward only with a token the
// compositor issued, out of the tray too once it is on screen again; a window minimized on a
// compositor that never minimizes goes into a tray all the same; a picture copied with Ctrl+C
// can be pasted by another client.
#include "ProgramHome.h"
#include "shell/PrivateBus.h"
#include "shell/Registry.h"
#include "shell/WaylandActivation.h"
#include "shell/ui/FakeStatusNotifierWatcher.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

#include <wayland-client.h>

using namespace std::chrono_literals;
using mv::shell::test::FakeStatusNotifierWatcher;
using mv::shell::test::PrivateBus;
using mv::test::waitFor;

namespace {

QByteArray run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

// The program's window in sway's tree: {} while it has none on screen.
QJsonObject programWindow()
{
    std::function<QJsonObject(const QJsonObject&)> find = [&](const QJsonObject& node) {
        if (node.value("app_id").toString() == "mirravelnock")
            return node;
        for (const char* kids : {"nodes", "floating_nodes"})
            for (const QJsonValue& kid : node.value(kids).toArray())
                if (QJsonObject found = find(kid.toObject()); !found.isEmpty())
                    return found;
        return QJsonObject();
    };
    return find(QJsonDocument::fromJson(run("swaymsg", {"-t", "get_tree"})).object());
}
bool programFocused()
{
    return programWindow().value("focused").toBool();
}

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("SWAYSOCK"))
            GTEST_SKIP() << "no headless sway: tests/apps/with-headless-sway.sh runs these tests beside one "
                            "(sway: scripts/deps.sh)";
        ASSERT_TRUE(home_.make("wayland"));
        for (const char* var : {"DISPLAY", "XDG_ACTIVATION_TOKEN", "DBUS_SESSION_BUS_ADDRESS"})
            home_.env.remove(var);
        // A picture of its own colour, so a pasted one is known for this program's copy.
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(QColor(200, 30, 30));
        ASSERT_TRUE(red.save(picture("red.png")) && red.save(picture("again.png")));
        (void)run("swaymsg", {"workspace 1"});
        display_ = wl_display_connect(nullptr);
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override
    {
        stopFirstCopy();
        if (display_)
            wl_display_disconnect(display_);
    }

    QString picture(const QString& name) const { return home_.filePath("pics/" + name); }

    // Starts the first copy with `args` and waits for its window to be on screen, and focused
    // unless it was started minimized.
    void startFirstCopy(const QStringList& args)
    {
        first_ = std::make_unique<QProcess>();
        first_->setProcessEnvironment(home_.env);
        first_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first_->start(QStringLiteral(MIRRAVELNOCK_PATH), args);
        ASSERT_TRUE(first_->waitForStarted(10000));
        const bool minimized = args.contains("/M");
        ASSERT_TRUE(waitFor([&] { return minimized ? !programWindow().isEmpty() : programFocused(); }, 60000))
            << "the window never mapped";
        EXPECT_EQ(programWindow().value("shell").toString(), "xdg_shell") << "not a native Wayland window";
    }
    void stopFirstCopy()
    {
        if (first_) {
            first_->terminate();
            EXPECT_TRUE(first_->waitForFinished(30000));
            first_.reset();
        }
    }
    // Another (empty) workspace takes the focus, as another program's window would.
    static void lookAway(int workspace)
    {
        (void)run("swaymsg", {QStringLiteral("workspace %1").arg(workspace)});
        ASSERT_TRUE(waitFor([] { return !programFocused(); }, 5000));
    }
    // A later start hands again.png over with `token` in XDG_ACTIVATION_TOKEN (none when
    // empty, so it asks the compositor for one itself); then the window should come forward.
    void handOver(const QByteArray& token, bool activates)
    {
        QProcessEnvironment env = home_.env;
        if (!token.isEmpty())
            env.insert("XDG_ACTIVATION_TOKEN", QString::fromLatin1(token));
        QProcess later;
        later.setProcessEnvironment(env);
        later.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        later.start(QStringLiteral(MIRRAVELNOCK_PATH), {picture("again.png")});
        ASSERT_TRUE(later.waitForFinished(60000));
        EXPECT_EQ(later.exitCode(), 0);
        EXPECT_EQ(waitFor(programFocused, activates ? 10000 : 2000), activates);
    }
    // A token the compositor issues, as a launcher gets one for the start it makes.
    QByteArray issuedToken() const { return mv::shell::requestActivationToken(display_, "mirravelnock", 5s); }

    mv::test::ProgramHome home_;
    std::unique_ptr<QProcess> first_;
    wl_display* display_ = nullptr;
};

// The window's position stored by an X11 session survives a Wayland one, which can't know it.
TEST_F(WaylandTest, WindowMapsNativelyAndAHandOverActivatesItOnlyWithTheCompositorsToken)
{
    ASSERT_TRUE(mv::shell::SaveSetting("Settings", "Top", "1234") &&
                mv::shell::SaveSetting("Settings", "Left", "5678"));
    ASSERT_NO_FATAL_FAILURE(startFirstCopy({picture("red.png")}));
    const QByteArray issued = issuedToken();
    EXPECT_FALSE(issued.isEmpty()) << "the compositor issued no token";
    const struct {
        const char* what;
        QByteArray token;
        bool activates;
    } cases[] = {{"forged", "0123456789abcdef0123456789abcdef", false},
                 {"from the launcher", issued, true},
                 {"asked for by the start", {}, true}};
    int workspace = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(lookAway(workspace++));
        handOver(c.token, c.activates);
    }
    stopFirstCopy();
    EXPECT_EQ(mv::shell::GetSetting("Settings", "Top"), "1234");
    EXPECT_EQ(mv::shell::GetSetting("Settings", "Left"), "5678");
    EXPECT_GT(mv::shell::GetSetting("Settings", "Width").toInt(), 0) << "the size is the window's to store";
}

// sway maps a window it was asked to minimize, and Qt counts it as not minimized at once; the
// window started with /M remembers it was asked, so a tray that comes later takes it. A
// hand-over shows it from the tray and activates it once it is mapped again (on the first
// workspace while another is on show: only the activation gives it the focus).
TEST_F(WaylandTest, MinimizedWindowGoesIntoALateTrayAndAHandOverBringsItBackActive)
{
    if (!PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    ASSERT_TRUE(bus.up());
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    home_.env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    ASSERT_NO_FATAL_FAILURE(startFirstCopy({"/M"}));
    FakeStatusNotifierWatcher panel;
    ASSERT_TRUE(panel.start());
    EXPECT_TRUE(waitFor([&] { return panel.items().size() == 1 && programWindow().isEmpty(); }, 20000))
        << "the minimized window did not go into the tray";
    ASSERT_NO_FATAL_FAILURE(lookAway(2));
    handOver(issuedToken(), true);
    stopFirstCopy();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

TEST_F(WaylandTest, CopiedPictureCanBePastedByAnotherClient)
{
    if (QStandardPaths::findExecutable(QStringLiteral("wtype")).isEmpty())
        GTEST_SKIP() << "wtype is not installed (scripts/deps.sh installs it)";
    ASSERT_NO_FATAL_FAILURE(startFirstCopy({picture("red.png")}));
    // The picture is decoded after the window shows: until then Ctrl+C copies something else,
    // or nothing. wtype types through the compositor's virtual keyboard, as a person would. Its
    // keyboard is new to the seat at each run, and a key typed before the program has bound it
    // is lost: wtype waits a moment first.
    QImage pasted;
    for (int attempt = 0; attempt < 30 && pasted.size() != QSize(64, 48); ++attempt) {
        (void)run("wtype", {"-s", "300", "-M", "ctrl", "c", "-m", "ctrl"}, home_.env);
        if (waitFor(
                [&] {
                    return run("wl-paste", {"--list-types"}, home_.env).split('\n').contains("image/png");
                },
                1000))
            pasted =
                QImage::fromData(run("wl-paste", {"--no-newline", "--type", "image/png"}, home_.env), "PNG");
    }
    ASSERT_EQ(pasted.size(), QSize(64, 48)) << "no picture to paste";
    EXPECT_EQ(pasted.pixelColor(10, 10), QColor(200, 30, 30));
}

} // namespace
