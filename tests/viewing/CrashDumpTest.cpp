// A crash while a decrypted picture is on show must leave nothing on disk: no core file, even
// where the user allows them and the system writes them as files.
#include "ViewingTestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Crash {
    int signal = 0;
    bool coreDumped = false;
};

// Runs the child in `folder` with core files allowed as far as the hard limit lets.
Crash crashChild(const QString& folder, const QString& encrypted, const char* mode)
{
    const QByteArray child(MV_VIEW_CRASH_CHILD);
    const QByteArray where = QFile::encodeName(folder);
    const QByteArray file = QFile::encodeName(encrypted);
    const pid_t pid = ::fork();
    if (pid == 0) {
        rlimit limit {};
        ::getrlimit(RLIMIT_CORE, &limit);
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_CORE, &limit);
        // The sanitizers keep cores away on their own; here only the program's own guard may.
        ::setenv("ASAN_OPTIONS", "disable_coredump=0:handle_segv=0:detect_leaks=0", 1);
        ::setenv("UBSAN_OPTIONS", "handle_segv=0", 1);
        if (::chdir(where.constData()) == 0)
            ::execl(child.constData(), child.constData(), file.constData(), "Door", mode, nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status))
        return {-WEXITSTATUS(status), false};
    return {WTERMSIG(status), bool(WCOREDUMP(status))};
}

TEST(CrashDump, CrashWhileAnEncryptedPictureIsOnShowLeavesNoCoreAndNoPlainBytes)
{
    QFile pattern(QStringLiteral("/proc/sys/kernel/core_pattern"));
    if (!pattern.open(QIODevice::ReadOnly) || pattern.readAll().trimmed() != "core")
        GTEST_SKIP() << "this system does not write core files into the crashing process's folder";
    rlimit limit {};
    if (::getrlimit(RLIMIT_CORE, &limit) != 0 || limit.rlim_max == 0)
        GTEST_SKIP() << "core files are forbidden here for every process";

    QTemporaryDir dir;
    const QByteArray png = mvtest::noisePng(64, 64, 7);
    const QString encrypted = mvtest::writeEncrypted(dir, QStringLiteral("secret.png"), png, "Door");
    ASSERT_FALSE(encrypted.isEmpty());
    const QByteArray plain = png.mid(png.size() / 2, 64);

    // Unguarded, the same crash does write a core: the check below can see one.
    QTemporaryDir control;
    const Crash open = crashChild(control.path(), encrypted, "open");
    ASSERT_EQ(open.signal, SIGSEGV);
    if (!open.coreDumped)
        GTEST_SKIP() << "this system writes no core file even for an unguarded process";
    EXPECT_FALSE(QDir(control.path()).isEmpty());

    const Crash guarded = crashChild(dir.path(), encrypted, "guarded");
    EXPECT_EQ(guarded.signal, SIGSEGV);
    EXPECT_FALSE(guarded.coreDumped);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("secret_png.mv$")});
    EXPECT_TRUE(mvtest::filesHolding(dir.path(), plain).isEmpty());
}

} // namespace
