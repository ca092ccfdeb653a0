// The real program on a real Wayland compositor (sway on its headless back end): the window
// maps natively, a later start's hand-over brings it forward only with a token the compositor
// issued, and a picture copied with Ctrl+C can be pasted by another client.
#include "shell/Registry.h"
#include "shell/WaylandActivation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-qual"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#pragma GCC diagnostic pop

using namespace std::chrono_literals;

namespace {

// sway refuses to run as root, so as root it runs as this account, made when missing.
constexpr const char* kCompositorUser = "mvcompositor";

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

QByteArray run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

class HeadlessSway {
public:
    // Empty when it runs; otherwise why not.
    QString start()
    {
        const QString sway = QStandardPaths::findExecutable(QStringLiteral("sway"));
        if (sway.isEmpty())
            return QStringLiteral("sway is not installed (scripts/deps.sh installs it)");
        uid_t uid = ::getuid();
        gid_t gid = ::getgid();
        if (uid == 0) {
            if (!::getpwnam(kCompositorUser))
                (void)run(QStringLiteral("useradd"),
                          {"--system", "--no-create-home", "--home-dir", "/nonexistent", "--shell",
                           "/usr/sbin/nologin", kCompositorUser});
            const passwd* pw = ::getpwnam(kCompositorUser);
            if (!pw)
                return QStringLiteral("can't make the account %1 to run sway as").arg(kCompositorUser);
            uid = pw->pw_uid;
            gid = pw->pw_gid;
        }
        QByteArray dir = "/tmp/mvsway-XXXXXX";
        if (!::mkdtemp(dir.data()) || ::chown(dir.constData(), uid, gid) != 0)
            return QStringLiteral("can't make sway's runtime folder");
        dir_ = QString::fromLocal8Bit(dir);
        QFile config(dir_ + "/config");
        if (!config.open(QIODevice::WriteOnly) || config.write("output HEADLESS-1 resolution 1280x800\n"
                                                               "focus_on_window_activation focus\n"
                                                               "xwayland disable\n") <= 0)
            return QStringLiteral("can't write sway's configuration");
        config.close();
        const QByteArray exe = QFile::encodeName(sway);
        const QByteArray configPath = QFile::encodeName(config.fileName());
        const QByteArray logPath = dir + "/log";
        QList<QByteArray> vars {"PATH=/usr/bin:/bin",    "HOME=" + dir,         "XDG_RUNTIME_DIR=" + dir,
                                "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"};
        std::vector<char*> envp;
        for (QByteArray& v : vars)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls between fork and exec.
            if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
                ::_exit(126);
            const int log = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (log >= 0) {
                ::dup2(log, 1);
                ::dup2(log, 2);
            }
            const char* argv[] = {"sway", "-c", configPath.constData(), nullptr};
            ::execve(exe.constData(), const_cast<char* const*>(argv), envp.data());
            ::_exit(127);
        }
        if (pid_ < 0)
            return QStringLiteral("can't start sway");
        const bool up = waitFor(
            [&] {
                const QDir d(dir_);
                socket_ = d.entryList({"wayland-?"}, QDir::System).value(0);
                ipc_ = d.entryList({"sway-ipc.*.sock"}, QDir::System).value(0);
                return (!socket_.isEmpty() && !ipc_.isEmpty()) || ::waitpid(pid_, nullptr, WNOHANG) == pid_;
            },
            15000);
        if (!up || socket_.isEmpty() || ipc_.isEmpty()) {
            QFile log(dir_ + "/log");
            (void)log.open(QIODevice::ReadOnly);
            return QStringLiteral("sway did not start: ") + QString::fromLocal8Bit(log.readAll().right(600));
        }
        socket_ = dir_ + '/' + socket_;
        ipc_ = dir_ + '/' + ipc_;
        return {};
    }
    ~HeadlessSway()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (!dir_.isEmpty())
            QDir(dir_).removeRecursively();
    }

    QString socket() const { return socket_; }
    QByteArray command(const QString& what) const
    {
        return run(QStringLiteral("swaymsg"), {"-s", ipc_, what});
    }
    // The program's window in the compositor's tree: {} when it has none.
    QJsonObject programView() const
    {
        const QJsonObject root =
            QJsonDocument::fromJson(run(QStringLiteral("swaymsg"), {"-s", ipc_, "-t", "get_tree"})).object();
        std::function<QJsonObject(const QJsonObject&)> find = [&](const QJsonObject& node) {
            if (node.value("app_id").toString() == "mirravelnock")
                return node;
            for (const char* kids : {"nodes", "floating_nodes"})
                for (const QJsonValue& kid : node.value(kids).toArray())
                    if (QJsonObject found = find(kid.toObject()); !found.isEmpty())
                        return found;
            return QJsonObject();
        };
        return find(root);
    }
    bool programFocused() const { return programView().value("focused").toBool(); }

private:
    pid_t pid_ = -1;
    QString dir_;
    QString socket_;
    QString ipc_;
};

// A client of the test's own, with a keyboard the compositor takes for a real one.
class Keyboard {
public:
    explicit Keyboard(const QString& socket)
        : display_(wl_display_connect(QFile::encodeName(socket).constData()))
    {
        if (!display_)
            return;
        registry_ = wl_display_get_registry(display_);
        wl_registry* registry = registry_;
        static const wl_registry_listener listener {
            [](void* data, wl_registry* r, uint32_t name, const char* interface, uint32_t) {
                auto* self = static_cast<Keyboard*>(data);
                if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_)
                    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, 1));
                if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
                    self->manager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
                        wl_registry_bind(r, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(display_);
        if (!seat_ || !manager_)
            return;
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
        const QByteArray keymap = "xkb_keymap { xkb_keycodes { include \"evdev\" };"
                                  " xkb_types { include \"complete\" }; xkb_compat { include \"complete\" };"
                                  " xkb_symbols { include \"pc+us\" }; };";
        const int fd = ::memfd_create("keymap", MFD_CLOEXEC);
        if (fd < 0 || ::write(fd, keymap.constData(), size_t(keymap.size() + 1)) != keymap.size() + 1)
            return;
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       uint32_t(keymap.size() + 1));
        ::close(fd);
        ready_ = wl_display_roundtrip(display_) >= 0;
    }
    ~Keyboard()
    {
        if (keyboard_)
            zwp_virtual_keyboard_v1_destroy(keyboard_);
        if (manager_)
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(manager_));
        if (seat_)
            wl_seat_destroy(seat_);
        if (registry_)
            wl_registry_destroy(registry_);
        if (display_)
            wl_display_disconnect(display_);
    }
    bool ready() const { return ready_; }

    // Ctrl+C, as a person types it (evdev key codes; Control is the third modifier).
    void pressCtrlC()
    {
        constexpr uint32_t kCtrl = 29, kC = 46, kControlMask = 1u << 2;
        const auto key = [&](uint32_t code, bool down) {
            zwp_virtual_keyboard_v1_key(keyboard_, ++time_, code,
                                        down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                             : WL_KEYBOARD_KEY_STATE_RELEASED);
        };
        key(kCtrl, true);
        zwp_virtual_keyboard_v1_modifiers(keyboard_, kControlMask, 0, 0, 0);
        key(kC, true);
        key(kC, false);
        zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
        key(kCtrl, false);
        wl_display_roundtrip(display_);
    }

private:
    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    uint32_t time_ = 1000;
    bool ready_ = false;
};

class WaylandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sway_ = new HeadlessSway;
        skipWhy_ = new QString(sway_->start());
    }
    static void TearDownTestSuite()
    {
        delete sway_;
        delete skipWhy_;
    }
    void SetUp() override
    {
        if (!skipWhy_->isEmpty())
            GTEST_SKIP() << "no headless Wayland compositor: " << skipWhy_->toStdString();
        ASSERT_TRUE(home_.isValid());
        for (const char* d : {"config", "runtime", "pics"})
            ASSERT_TRUE(QDir(home_.path()).mkpath(QLatin1String(d)));
        QFile::setPermissions(home_.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "XDG_ACTIVATION_TOKEN", "QT_QPA_PLATFORM"})
            env_.remove(var);
        env_.insert("QT_QPA_PLATFORM", "wayland");
        env_.insert("WAYLAND_DISPLAY", sway_->socket());
        env_.insert("HOME", home_.path());
        env_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        env_.insert("XDG_RUNTIME_DIR", home_.filePath("runtime"));
        env_.insert("ASAN_OPTIONS", "detect_leaks=0");
        // A picture of its own colour, so a pasted one is known for this program's copy.
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(QColor(200, 30, 30));
        ASSERT_TRUE(red.save(picture("red.png")));
        ASSERT_TRUE(red.save(picture("again.png")));
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath("config")));
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", saved_);
        if (first_) {
            ::kill(pid_t(first_->processId()), SIGTERM);
            first_->waitForFinished(30000);
        }
    }

    QString picture(const QString& name) const { return home_.filePath("pics/" + name); }

    // Starts the first copy with a picture, and waits for its window to be on screen and focused.
    void startFirstCopy()
    {
        first_ = std::make_unique<QProcess>();
        first_->setProcessEnvironment(env_);
        first_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first_->start(QStringLiteral(MIRRAVELNOCK_PATH), {picture("red.png")});
        ASSERT_TRUE(first_->waitForStarted(10000));
        ASSERT_TRUE(waitFor([&] { return sway_->programFocused(); }, 60000)) << "the window never mapped";
        EXPECT_EQ(sway_->programView().value("shell").toString(), "xdg_shell")
            << "not a native Wayland window";
    }

    static HeadlessSway* sway_;
    static QString* skipWhy_;
    QTemporaryDir home_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> first_;
    QByteArray saved_;
};

HeadlessSway* WaylandTest::sway_ = nullptr;
QString* WaylandTest::skipWhy_ = nullptr;

// The window's position stored by an X11 session survives a Wayland one, which can't know it.
TEST_F(WaylandTest, WindowMapsNativelyAndAHandOverActivatesItOnlyWithTheCompositorsToken)
{
    ASSERT_TRUE(mv::shell::SaveSetting("Settings", "Top", "1234") &&
                mv::shell::SaveSetting("Settings", "Left", "5678"));
    ASSERT_NO_FATAL_FAILURE(startFirstCopy());
    wl_display* own = wl_display_connect(QFile::encodeName(sway_->socket()).constData());
    ASSERT_NE(own, nullptr);
    const QByteArray issued = mv::shell::requestActivationToken(own, "mirravelnock", 5s);
    EXPECT_FALSE(issued.isEmpty()) << "the compositor issued no token";

    enum class Token {
        FromLauncher,
        AskedForByTheStart,
        Forged
    };
    const struct {
        Token token;
        bool activates;
    } cases[] = {{Token::Forged, false}, {Token::FromLauncher, true}, {Token::AskedForByTheStart, true}};
    int workspace = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.token));
        // Another (empty) workspace takes the focus, as another program's window would.
        sway_->command(QStringLiteral("workspace %1").arg(workspace++));
        ASSERT_TRUE(waitFor([&] { return !sway_->programFocused(); }, 5000));
        QProcessEnvironment env = env_;
        if (c.token == Token::FromLauncher)
            env.insert("XDG_ACTIVATION_TOKEN", QString::fromLatin1(issued));
        else if (c.token == Token::Forged)
            env.insert("XDG_ACTIVATION_TOKEN", "0123456789abcdef0123456789abcdef");
        QProcess later;
        later.setProcessEnvironment(env);
        later.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        later.start(QStringLiteral(MIRRAVELNOCK_PATH), {picture("again.png")});
        ASSERT_TRUE(later.waitForFinished(60000));
        EXPECT_EQ(later.exitCode(), 0);
        EXPECT_EQ(waitFor([&] { return sway_->programFocused(); }, c.activates ? 10000 : 2000), c.activates);
    }
    wl_display_disconnect(own);

    ::kill(pid_t(first_->processId()), SIGTERM);
    ASSERT_TRUE(first_->waitForFinished(30000));
    first_.reset();
    EXPECT_EQ(mv::shell::GetSetting("Settings", "Top"), "1234");
    EXPECT_EQ(mv::shell::GetSetting("Settings", "Left"), "5678");
    EXPECT_GT(mv::shell::GetSetting("Settings", "Width").toInt(), 0) << "the size is the window's to store";
}

TEST_F(WaylandTest, CopiedPictureCanBePastedByAnotherClient)
{
    ASSERT_NO_FATAL_FAILURE(startFirstCopy());
    Keyboard keyboard(sway_->socket());
    ASSERT_TRUE(keyboard.ready()) << "the compositor took no virtual keyboard";
    QProcessEnvironment env = env_;
    env.insert("XDG_RUNTIME_DIR", home_.filePath("runtime"));
    // The picture is decoded after the window shows: until then Ctrl+C copies something else,
    // or nothing.
    QImage pasted;
    for (int attempt = 0; attempt < 30 && pasted.size() != QSize(64, 48); ++attempt) {
        keyboard.pressCtrlC();
        if (waitFor([&] { return run("wl-paste", {"--list-types"}, env).split('\n').contains("image/png"); },
                    1000))
            pasted = QImage::fromData(run("wl-paste", {"--no-newline", "--type", "image/png"}, env), "PNG");
    }
    ASSERT_EQ(pasted.size(), QSize(64, 48)) << "no picture to paste";
    EXPECT_EQ(pasted.pixelColor(10, 10), QColor(200, 30, 30));
}

} // namespace
