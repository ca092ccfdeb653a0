// The real program in real processes, offscreen: what it stores at exit, and the hand-over of a
// file from a later copy to the first one; on an X server with a window manager, the geometry
// it stores.
#include "ProgramHome.h"
#include "shell/Registry.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace mv::shell;

namespace {

class MirravelnockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.make(QStringLiteral("offscreen"), QStringLiteral("pics/a b")));
    }

    QString setting(const char* name) const
    {
        return GetSetting(QStringLiteral("Settings"), QLatin1String(name));
    }

    std::unique_ptr<QProcess> launch(const QStringList& args, const QString& dir)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(home_.env);
        p->setWorkingDirectory(dir);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(MIRRAVELNOCK_PATH), args);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    // Waits until the first copy has written its marker, i.e. is up and listening.
    bool waitForMarker(qint64 pid) const
    {
        return mv::test::waitFor([&] { return setting("hWnd") == QString::number(pid); }, 30000);
    }
    static int terminate(QProcess& p)
    {
        ::kill(pid_t(p.processId()), SIGTERM);
        EXPECT_TRUE(p.waitForFinished(30000));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // An X server of the test's own on a display it finds free: its name once it takes
    // connections, or empty.
    static QString startXServer(QProcess& server)
    {
        server.start(
            QStringLiteral("Xvfb"),
            QStringLiteral("-displayfd 1 -nolisten tcp -screen 0 1600x1200x24").split(QLatin1Char(' ')));
        while (!server.canReadLine() && server.waitForReadyRead(20000)) {
        }
        const QByteArray number = server.readLine().trimmed();
        return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
    }

    mv::test::ProgramHome home_;
};

} // namespace

// A later copy started with a file hands it to the first and ends without a window; the first
// copy opens the file's folder and empties the mailbox. A copy started without a file runs as
// a second instance and leaves the settings alone. Ending the first copy with SIGTERM writes its
// settings as Exit does: the stored garbage became defaults, the typed filter stays typed, and
// the marker of the running copy is gone. The window once deleted QMainWindow's own layout with
// its parts, and the program crashed on its way out (a use inside Qt, which AddressSanitizer does
// not see: only a build without it crashed).
TEST_F(MirravelnockTest, LaterCopyHandsItsFileOverAndSettingsAreWrittenAtExitWithoutACrash)
{
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Zoom"), QStringLiteral("x7"));
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Spec"), QStringLiteral("*.txt"));
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Last Dir"),
                home_.filePath(QStringLiteral("gone")));
    const QString folder = home_.filePath(QStringLiteral("pics/a b"));
    const QString file = folder + QStringLiteral("/photo one_jpg.mv$");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    auto first = launch({}, home_.path());
    ASSERT_TRUE(waitForMarker(first->processId()));

    auto second = launch({}, folder);
    QThread::msleep(1500);
    EXPECT_EQ(terminate(*second), 0);
    EXPECT_NE(setting("Last Dir"), folder); // the second instance saved nothing

    auto later = launch({QStringLiteral("/f=") + file}, home_.path());
    ASSERT_TRUE(later->waitForFinished(20000)); // hands over and ends without a window
    EXPECT_EQ(later->exitCode(), 0);

    // The first copy shows the file's folder and takes the file out of the mailbox.
    EXPECT_TRUE(mv::test::waitFor([&] { return setting("StartupImage").isEmpty(); }, 20000));
    EXPECT_EQ(terminate(*first), 0);
    EXPECT_EQ(setting("Last Dir"), folder);
    EXPECT_EQ(setting("Zoom"), QStringLiteral("4"));
    EXPECT_EQ(setting("Spec"), QStringLiteral("*.txt"));
    EXPECT_EQ(setting("State"), QStringLiteral("0"));
    EXPECT_TRUE(setting("hWnd").isEmpty());
}

// Ten starts on an X server whose window manager frames windows leave the window where and as
// large as it was. The frame is added after the window is shown; the geometry stored counted it
// and was put back as the window's own, so the window grew (and moved) by the frame at every start.
TEST_F(MirravelnockTest, TenStartsUnderAWindowManagerLeaveTheWindowWhereAndAsLargeAsItWas)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("evilwm")).isEmpty())
        GTEST_SKIP() << "Xvfb or evilwm is not installed";
    QProcess server;
    const QString display = startXServer(server);
    ASSERT_FALSE(display.isEmpty()) << "no X server started";
    home_.env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    home_.env.insert(QStringLiteral("DISPLAY"), display);
    QProcess manager;
    manager.setProcessEnvironment(home_.env);
    // The server's own font: no font package is needed.
    manager.start(QStringLiteral("evilwm"), {QStringLiteral("-fn"), QStringLiteral("fixed")});
    ASSERT_TRUE(manager.waitForStarted(10000));
    ASSERT_FALSE(manager.waitForFinished(500)) << "the window manager ended";

    QStringList first;
    for (int start = 1; start <= 10; ++start) {
        auto copy = launch({}, home_.path());
        ASSERT_TRUE(waitForMarker(copy->processId()));
        QThread::msleep(1000); // shown, and framed by the window manager
        ASSERT_EQ(terminate(*copy), 0);
        const QStringList stored {setting("Left"), setting("Top"), setting("Width"), setting("Height")};
        if (start == 1)
            first = stored;
        EXPECT_EQ(stored, first) << "start " << start;
    }
    for (QProcess* p : {&manager, &server}) {
        p->terminate();
        p->waitForFinished(5000);
    }
}
