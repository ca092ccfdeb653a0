// The store file under faults: hand edits, damage, a crashed writer, a full disk, places that
// cannot be written; writers in other processes and in other threads, while this thread keeps
// reading.
#include "ConfigFixture.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv::shell {
namespace {

using StoreFileTest = test::ConfigFixture;
using ConcurrencyTest = test::ConfigFixture;
using test::kSettings;

const QByteArray kHandWritten = "Mirravelnock settings 1\n"
                                "[Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings]\n"
                                "\"Count\"=dword:0000002a\n"
                                "\"Blob\"=hex:01,02,\\\n"
                                "  03\n"
                                "\"Name\"=\"text\"\n";

TEST_F(StoreFileTest, DamagedStoreReadsEmptyAndIsKeptAside)
{
    const QByteArray first = kHandWritten + "garbage line\n";
    writeStore(first);
    EXPECT_EQ(GetSetting(kSettings, "Name"), QString());
    EXPECT_TRUE(registryError().contains("damaged")) << registryError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(userStore()));
    EXPECT_EQ(readAll(userStore() + ".bad"), first);

    ASSERT_TRUE(SaveSetting(kSettings, "Fresh", "1"));
    EXPECT_EQ(GetSetting(kSettings, "Fresh"), "1");
    EXPECT_EQ(GetSetting(kSettings, "Name"), QString()) << "a fresh store, not a guess";

    // Damage found by a write this time: the first .bad stays as it was.
    const QByteArray second("\xff\xfe not even text");
    writeStore(second);
    ASSERT_TRUE(SaveSetting(kSettings, "After", "2"));
    EXPECT_EQ(readAll(userStore() + ".bad"), first);
    EXPECT_EQ(readAll(userStore() + ".bad.1"), second);
    EXPECT_EQ(GetSetting(kSettings, "After"), "2");
    EXPECT_EQ(GetSetting(kSettings, "Fresh"), QString());

    writeStore("Mirravelnock settings 1\n[K]\n\"a\"=\"b");
    EXPECT_EQ(GetSetting(kSettings, "After"), QString());
    EXPECT_TRUE(QFileInfo::exists(userStore() + ".bad.2"));
    EXPECT_EQ(readAll(userStore() + ".bad"), first);

    // A folder in place of the store is moved aside, not deleted.
    ASSERT_FALSE(QFileInfo::exists(userStore()));
    ASSERT_TRUE(QDir().mkpath(userStore() + "/inside"));
    EXPECT_EQ(GetSetting(kSettings, "x"), QString());
    ASSERT_TRUE(SaveSetting(kSettings, "x", "1"));
    EXPECT_EQ(GetSetting(kSettings, "x"), "1");
    EXPECT_TRUE(QFileInfo(userStore() + ".bad.3/inside").isDir());
}

TEST_F(StoreFileTest, ReplacedCopyIsClearedButAHardLinkedBackupIsNot)
{
    ASSERT_TRUE(SaveSetting(kSettings, "Last Dir", "/home/me/private"));
    QFile old(userStore());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly)); // still reaches the old copy after the rename
    ASSERT_GT(old.size(), 0);
    ASSERT_TRUE(SaveSetting(kSettings, "Last Dir", "/elsewhere"));
    EXPECT_EQ(old.readAll(), QByteArray()); // zeroed, flushed and cut, not just unlinked

    const QString backup = configHome() + "/backup.reg";
    const QByteArray current = readAll(userStore());
    ASSERT_EQ(::link(QFile::encodeName(userStore()).constData(), QFile::encodeName(backup).constData()), 0);
    ASSERT_TRUE(SaveSetting(kSettings, "Last Dir", "/third"));
    EXPECT_EQ(readAll(backup), current);
    EXPECT_EQ(GetSetting(kSettings, "Last Dir"), "/third");
}

// A full disk leaves the old store whole; what a writer killed before its rename leaves (half a
// new store under a temporary name) is ignored by reads and cleared by the next write.
TEST_F(StoreFileTest, LeftoverOfACrashedWriteIsClearedAndAFullDiskLeavesTheOldStoreWhole)
{
    ASSERT_TRUE(SaveSetting(kSettings, "Kept", "old"));
    const QByteArray before = readAll(userStore());
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool wrote = SaveSetting(kSettings, "Huge", QString(100000, QLatin1Char('x')));
    const QString why = registryError();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readAll(userStore()), before);
    EXPECT_EQ(GetSetting(kSettings, "Huge"), QString());
    EXPECT_TRUE(onlyTheStore()) << "no temporary file may be left behind";

    const QString leftover = storeDir() + "/.HKEY_CURRENT_USER.reg.tmp-Ab12Cd";
    writeStore(before.left(before.size() / 2), ".HKEY_CURRENT_USER.reg.tmp-Ab12Cd");
    EXPECT_EQ(GetSetting(kSettings, "Kept"), "old");
    EXPECT_EQ(readAll(userStore()), before);
    EXPECT_TRUE(QFileInfo::exists(leftover)) << "a read must not touch it";
    ASSERT_TRUE(SaveSetting(kSettings, "New", "1"));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_EQ(GetSetting(kSettings, "Kept"), "old");
    EXPECT_TRUE(onlyTheStore());
}

TEST_F(StoreFileTest, UnwritableLocationsFailCleanlyAndConfigHomeFallsBackToDotConfig)
{
    const QString regularFile = configHome() + "/plain-file";
    ASSERT_TRUE(writeAll(regularFile, "not a folder"));
    for (const QString& home : {regularFile, QString("/proc/mirravelnock-test"), QString("/proc/self")}) {
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(home).constData(), 1);
        EXPECT_FALSE(SaveSetting(kSettings, "x", "1")) << home.toStdString();
        EXPECT_FALSE(registryError().isEmpty());
        EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, kProductKey));
        EXPECT_EQ(GetSetting(kSettings, "x"), QString());
    }
    EXPECT_EQ(readAll(regularFile), QByteArray("not a folder"));

    // No usable XDG_CONFIG_HOME: ~/.config.
    const QByteArray home = qgetenv("HOME");
    ::setenv("HOME", QFile::encodeName(configHome()).constData(), 1);
    const QString fallback = configHome() + "/.config/mirravelnock";
    for (const char* value : {"", "relative/path"}) {
        ::setenv("XDG_CONFIG_HOME", value, 1);
        EXPECT_EQ(hiveFilePath(HKEY_CURRENT_USER), fallback + "/HKEY_CURRENT_USER.reg");
    }
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(SaveSetting(kSettings, "x", "1"));
    EXPECT_TRUE(QFileInfo::exists(fallback + "/HKEY_CURRENT_USER.reg"));
    EXPECT_EQ(modeOf(fallback), 0700u);
    ::setenv("HOME", home.constData(), 1);
}

QString valueName(int writer, int i)
{
    return QStringLiteral("w%1-%2").arg(writer).arg(i);
}

bool writeMany(int writer, int count)
{
    bool ok = true;
    for (int i = 0; i < count; ++i)
        ok = SaveSetting(kSettings, valueName(writer, i), QStringLiteral("v%1").arg(i)) && ok;
    return ok;
}

// Two processes and four threads write at once while this thread keeps reading a known value:
// a reader must never see the store half written, and no value written may be lost.
TEST_F(ConcurrencyTest, ProcessesAndThreadsWritingLoseNothing)
{
    ASSERT_TRUE(SaveSetting(kSettings, "Anchor", "here"));
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            ::_exit(writeMany(writer, 80) ? 0 : 1); // never back into the test runner
        children.push_back(pid);
    }
    std::atomic<int> running = 4;
    std::atomic<bool> allOk = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            allOk = writeMany(10 + t, 30) && allOk;
            --running;
        });
    }
    int wrong = 0;
    std::vector<int> statuses(children.size(), -1);
    for (size_t ended = 0; ended < children.size() || running > 0;) {
        if (GetSetting(kSettings, "Anchor") != "here")
            ++wrong;
        for (size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            if (statuses[i] == -1 && ::waitpid(children[i], &status, WNOHANG) > 0) {
                statuses[i] = status;
                ++ended;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // let the writers in
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0) << "a reader saw the store half written";
    EXPECT_TRUE(allOk);
    for (const int status : statuses)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const auto& [writer, count] : {std::pair(0, 80), {1, 80}, {10, 30}, {11, 30}, {12, 30}, {13, 30}})
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(GetSetting(kSettings, valueName(writer, i)), QStringLiteral("v%1").arg(i))
                << writer << " " << i;
}

} // namespace
} // namespace mv::shell
