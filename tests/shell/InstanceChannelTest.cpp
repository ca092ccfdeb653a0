// Which copy is first, and the hand-over between copies, with peers that behave and peers
// that don't.
#include "ConfigFixture.h"
#include "EventWait.h"

#include "shell/AppSettings.h"
#include "shell/HandOver.h"
#include "shell/InstanceChannel.h"
#include "shell/RuntimeDir.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <barrier>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>

namespace mv::shell {
namespace {

using namespace std::chrono_literals;
using test::runEventsUntil;

class InstanceChannelTest : public test::ConfigFixture {
protected:
    void SetUp() override
    {
        test::ConfigFixture::SetUp();
        ASSERT_TRUE(runtime_.isValid());
        ASSERT_TRUE(
            QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QString dir() const { return runtime_.path(); }

    // Hands over from another thread while this one runs the first copy's event loop.
    bool handOverFromAnotherThread(const InstanceChannel& later, std::chrono::milliseconds timeout)
    {
        QFuture<bool> answered = QtConcurrent::run([&] { return later.handOver(timeout); });
        EXPECT_TRUE(runEventsUntil([&] { return answered.isFinished(); }));
        return answered.result();
    }

private:
    QTemporaryDir runtime_;
};

// The stale socket of a crashed copy is replaced.
TEST_F(InstanceChannelTest, OnlyOneCopyIsFirstAnswersHandOversAndPassesTheRoleOnWhenItEnds)
{
    {
        // A bound socket file with nobody behind it, as a killed copy leaves it.
        const QByteArray path = QFile::encodeName(dir() + "/instance.socket");
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        ASSERT_LT(size_t(path.size()), sizeof addr.sun_path);
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);

        InstanceChannel first(dir());
        int received = 0;
        QObject::connect(&first, &InstanceChannel::handOverReceived, [&] { ++received; });
        ASSERT_EQ(first.claim(), InstanceChannel::Role::First);
        ASSERT_TRUE(first.isListening()) << fileutil::resultText(first.error()).toStdString();
        InstanceChannel second(dir());
        EXPECT_EQ(second.claim(), InstanceChannel::Role::Later);
        EXPECT_EQ(second.claim(), InstanceChannel::Role::Later) << "the role is decided once";
        EXPECT_FALSE(second.isListening());
        EXPECT_TRUE(first.isListening()) << "the later copy must not take the socket";
        // The first copy answers each hand-over, and then tells the window.
        for (int i = 1; i <= 2; ++i) {
            EXPECT_TRUE(handOverFromAnotherThread(second, 10s));
            ASSERT_TRUE(runEventsUntil([&] { return received == i; }));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir() + "/instance.socket"));

    // Copies starting at the same moment.
    constexpr int kCopies = 8;
    std::atomic<int> firsts = 0;
    std::barrier ready(kCopies);
    // QThreads, not bare threads: a first copy's server needs an event dispatcher.
    std::vector<std::unique_ptr<QThread>> copies;
    for (int i = 0; i < kCopies; ++i) {
        copies.emplace_back(QThread::create([&] {
            InstanceChannel c(dir());
            ready.arrive_and_wait();
            firsts += c.claim() == InstanceChannel::Role::First ? 1 : 0;
            ready.arrive_and_wait(); // everyone has decided before the first one ends
        }));
        copies.back()->start();
    }
    for (const auto& t : copies)
        t->wait();
    EXPECT_EQ(firsts, 1);
}

TEST_F(InstanceChannelTest, SilentOrHungFirstCopyNeverHangsTheNewOne)
{
    {
        // Accepts and keeps silent.
        QLocalServer silent;
        ASSERT_TRUE(silent.listen(dir() + "/instance.socket"));
        QList<QLocalSocket*> kept;
        QObject::connect(&silent, &QLocalServer::newConnection,
                         [&] { kept << silent.nextPendingConnection(); });
        EXPECT_FALSE(handOverFromAnotherThread(InstanceChannel(dir()), 300ms));
        EXPECT_FALSE(kept.isEmpty()) << "it did connect";
    }
    // A first copy whose event loop doesn't run, as when it is stopped: the kernel takes
    // the connection and the message, and nobody answers.
    InstanceChannel first(dir());
    ASSERT_EQ(first.claim(), InstanceChannel::Role::First);
    EXPECT_FALSE(InstanceChannel(dir()).handOver(300ms));
    // Nobody listening at all; no runtime folder to be had.
    EXPECT_FALSE(InstanceChannel(dir() + "/nowhere").handOver(100ms));
    InstanceChannel lost {QString()};
    EXPECT_EQ(lost.claim(), InstanceChannel::Role::Unknown);
    EXPECT_FALSE(lost.error().ok);
    EXPECT_FALSE(lost.isListening());
}

// The token lets the first copy's window come forward on Wayland; bytes that can't be one are
// neither sent nor, from a client that isn't us, listened to. Clients that keep silent, more
// than are heard at once, hold no hand-over up and are dropped in time.
TEST_F(InstanceChannelTest, ActivationTokenTravelsWithTheHandOverAndOddOnesOrSilentClientsDoNot)
{
    InstanceChannel first(dir());
    ASSERT_EQ(first.claim(), InstanceChannel::Role::First);
    QList<QByteArray> received;
    QObject::connect(&first, &InstanceChannel::handOverReceived, [&](const QByteArray& t) { received << t; });
    std::vector<std::unique_ptr<QLocalSocket>> mute;
    for (int i = 0; i < 40; ++i) {
        mute.push_back(std::make_unique<QLocalSocket>());
        mute.back()->connectToServer(first.socketPath());
        ASSERT_TRUE(mute.back()->waitForConnected(5000));
        QCoreApplication::processEvents();
    }
    const QByteArray longest(1024, 'k');
    const struct {
        QByteArray given, passed;
    } sent[] = {{"0af3c9:seat0/kwin_123", "0af3c9:seat0/kwin_123"},
                {longest, longest},
                {{}, {}},
                {longest + 'k', {}},
                {"two words", {}},
                {"line\nbreak", {}},
                {"caf\xc3\xa9", {}}};
    for (const auto& c : sent) {
        received.clear();
        QFuture<bool> answered =
            QtConcurrent::run([&] { return InstanceChannel(dir()).handOver(10s, c.given); });
        ASSERT_TRUE(runEventsUntil([&] { return answered.isFinished() && !received.isEmpty(); }));
        EXPECT_TRUE(answered.result());
        EXPECT_EQ(received, QList<QByteArray>({c.passed})) << c.given.left(40).toStdString();
    }
    for (const QByteArray& forged : QList<QByteArray> {
             "mirravelnock show-startup-image 1 two words\n", "mirravelnock show-startup-image 1 \n",
             "mirravelnock show-startup-image 1x\n", "mirravelnock show-startup-image 1 tok\x01\n",
             "show me /etc/passwd\n", "mirravelnock show-startup-image 1\n" + QByteArray(100000, 'x')}) {
        received.clear();
        QLocalSocket client;
        client.connectToServer(first.socketPath());
        ASSERT_TRUE(client.waitForConnected(5000));
        client.write(forged);
        EXPECT_TRUE(runEventsUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }));
        QCoreApplication::processEvents();
        EXPECT_TRUE(received.isEmpty()) << forged.left(60).toStdString();
        EXPECT_FALSE(client.readAll().contains("ok")) << forged.left(60).toStdString();
    }
    EXPECT_TRUE(runEventsUntil([&] {
        return std::all_of(mute.begin(), mute.end(),
                           [](const auto& m) { return m->state() == QLocalSocket::UnconnectedState; });
    })) << "silent clients are dropped in time";
}

TEST_F(InstanceChannelTest, HandOverDeliversTheMailboxOrReportsNobodyThere)
{
    AppSettings firstSettings;
    InstanceChannel first(dir());
    ASSERT_EQ(first.claim(), InstanceChannel::Role::First);
    QString shown;
    QObject::connect(&first, &InstanceChannel::handOverReceived,
                     [&] { shown = firstSettings.readFresh(Setting::StartupImage); });

    // No marker: the later copy gives up in time, the mailbox written all the same.
    const auto handOver = [&](const QString& file, std::chrono::milliseconds timeout) {
        QFuture<bool> done = QtConcurrent::run([&] {
            AppSettings laterSettings;
            return handStartupFileOver(laterSettings, InstanceChannel(dir()), file, timeout);
        });
        EXPECT_TRUE(runEventsUntil([&] { return done.isFinished(); }));
        return done.result();
    };
    EXPECT_FALSE(handOver("/pics/first try.jpg", 300ms));
    EXPECT_EQ(GetSetting(test::kSettings, "StartupImage"), "/pics/first try.jpg");

    // The marker written by a first copy that is still starting, not yet flushed.
    claimInstanceMarker(firstSettings, QCoreApplication::applicationPid());
    EXPECT_TRUE(handOver("/pics/a b_jpg.mv$", 30s));
    ASSERT_TRUE(runEventsUntil([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown, "/pics/a b_jpg.mv$");
}

TEST_F(InstanceChannelTest, RuntimeFolderIsPrivate)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(dir()).constData(), 1);
    QString made;
    ASSERT_TRUE(runtimeDir(&made).ok);
    EXPECT_EQ(made, dir() + "/mirravelnock");
    EXPECT_EQ(mvtest::modeOf(made), 0700u);
    ASSERT_TRUE(QFile::setPermissions(made, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther));
    const fileutil::FileResult open = runtimeDir(&made);
    EXPECT_FALSE(open.ok) << "others may enter it";
    ASSERT_TRUE(QDir(made).removeRecursively());
    ASSERT_TRUE(QFile::link(dir() + "/elsewhere", made));
    ASSERT_TRUE(QDir().mkpath(dir() + "/elsewhere"));
    EXPECT_FALSE(runtimeDir(&made).ok) << "a symbolic link is not our folder";
    ::setenv("XDG_RUNTIME_DIR", saved.constData(), 1);
}

} // namespace
} // namespace mv::shell
