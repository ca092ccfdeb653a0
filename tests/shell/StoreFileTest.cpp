#include "ConfigFixture.h"

#include "shell/Registry.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::shell {
namespace {

using StoreFileTest = test::ConfigFixture;

const QString kSettings = QStringLiteral("Settings");

const QByteArray kHandWritten =
    "Mirravelnock settings 1\n"
    "[Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings]\n"
    "\"Count\"=dword:0000002a\n"
    "\"Blob\"=hex:01,02,\\\n"
    "  03\n"
    "\"Name\"=\"text\"\n";

TEST_F(StoreFileTest, NonStringValuesReadEmptyAndSurviveRewrites)
{
    writeStore(kHandWritten);
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Count")), QString());
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Blob")), QString());
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Name")), QStringLiteral("text"));

    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("New"), QStringLiteral("n")));
    const QByteArray file = readFile(userStore());
    EXPECT_TRUE(file.contains("\"Count\"=dword:0000002a\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("\"Blob\"=hex:01,02,03\n")) << file.toStdString();
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Name")), QStringLiteral("text"));

    // Writing a string over one replaces it.
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("count"), QStringLiteral("7")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Count")), QStringLiteral("7"));
    EXPECT_TRUE(readFile(userStore()).contains("\"Count\"=\"7\"\n"));
}

TEST_F(StoreFileTest, DamagedStoreReadsEmptyAndIsKeptAside)
{
    const QByteArray first = kHandWritten + "garbage line\n";
    writeStore(first);
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Name")), QString());
    EXPECT_TRUE(registryError().contains(QStringLiteral("damaged"))) << registryError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(userStore()));
    EXPECT_EQ(readFile(userStore() + QStringLiteral(".bad")), first);

    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Fresh"), QStringLiteral("1")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Fresh")), QStringLiteral("1"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Name")), QString()) << "a fresh store, not a guess";

    // Damage found by a write this time: the first .bad stays as it was.
    const QByteArray second("\xff\xfe not even text");
    writeStore(second);
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("After"), QStringLiteral("2")));
    EXPECT_EQ(readFile(userStore() + QStringLiteral(".bad")), first);
    EXPECT_EQ(readFile(userStore() + QStringLiteral(".bad.1")), second);
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("After")), QStringLiteral("2"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Fresh")), QString());

    writeStore(QByteArray("Mirravelnock settings 1\n[K]\n\"a\"=\"b"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("After")), QString());
    EXPECT_TRUE(QFileInfo::exists(userStore() + QStringLiteral(".bad.2")));
    EXPECT_EQ(readFile(userStore() + QStringLiteral(".bad")), first);
}

TEST_F(StoreFileTest, AFolderInPlaceOfTheStoreIsMovedAsideNotDeleted)
{
    QDir().mkpath(userStore() + QStringLiteral("/inside"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("x")), QString());
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo(userStore() + QStringLiteral(".bad/inside")).isDir());
}

TEST_F(StoreFileTest, LeftoverFromACrashedWriteIsIgnoredAndCleared)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Kept"), QStringLiteral("old")));
    const QByteArray before = readFile(userStore());
    // What a writer killed before its rename leaves: half a new store under a temp name.
    const QString leftover = storePath(QStringLiteral(".HKEY_CURRENT_USER.reg.tmp-Ab12Cd"));
    {
        QFile f(leftover);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before.left(before.size() / 2));
    }
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Kept")), QStringLiteral("old"));
    EXPECT_EQ(readFile(userStore()), before);
    EXPECT_TRUE(QFileInfo::exists(leftover)) << "a read must not touch it";

    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("New"), QStringLiteral("1")));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Kept")), QStringLiteral("old"));
    EXPECT_EQ(storeFiles(), QStringList({QStringLiteral("HKEY_CURRENT_USER.reg"), QStringLiteral("HKEY_CURRENT_USER.reg.lock")}));
}

TEST_F(StoreFileTest, ReplacedCopyIsClearedButAHardLinkedBackupIsNot)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Last Dir"), QStringLiteral("/home/me/private")));
    QFile old(userStore());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));  // still reaches the old copy after the rename
    ASSERT_GT(old.size(), 0);
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Last Dir"), QStringLiteral("/elsewhere")));
    EXPECT_EQ(old.readAll(), QByteArray());  // zeroed, flushed and cut, not just unlinked

    const QString backup = configHome() + QStringLiteral("/backup.reg");
    const QByteArray current = readFile(userStore());
    ASSERT_EQ(::link(QFile::encodeName(userStore()).constData(), QFile::encodeName(backup).constData()), 0);
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Last Dir"), QStringLiteral("/third")));
    EXPECT_EQ(readFile(backup), current);
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Last Dir")), QStringLiteral("/third"));
}

TEST_F(StoreFileTest, FullDiskLeavesTheOldStoreWhole)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Kept"), QStringLiteral("old")));
    const QByteArray before = readFile(userStore());

    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool wrote = SaveSetting(kSettings, QStringLiteral("Huge"), QString(100000, QLatin1Char('x')));
    const QString why = registryError();
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(wrote);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readFile(userStore()), before);
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Kept")), QStringLiteral("old"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Huge")), QString());
    EXPECT_EQ(storeFiles(), QStringList({QStringLiteral("HKEY_CURRENT_USER.reg"), QStringLiteral("HKEY_CURRENT_USER.reg.lock")}))
        << "no temporary file may be left behind";
}

TEST_F(StoreFileTest, UnwritableLocationsFailCleanly)
{
    const QString regularFile = configHome() + QStringLiteral("/plain-file");
    {
        QFile f(regularFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a folder");
    }
    for (const QString& home : {regularFile, QStringLiteral("/proc/mirravelnock-test"), QStringLiteral("/proc/self")}) {
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(home).constData(), 1);
        EXPECT_FALSE(SaveSetting(kSettings, QStringLiteral("x"), QStringLiteral("1"))) << home.toStdString();
        EXPECT_FALSE(registryError().isEmpty());
        EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, kProductKey));
        EXPECT_EQ(GetSetting(kSettings, QStringLiteral("x")), QString());
    }
    EXPECT_EQ(readFile(regularFile), QByteArray("not a folder"));
}

TEST_F(StoreFileTest, ConfigHomeFallsBackToDotConfig)
{
    const QByteArray home = qgetenv("HOME");
    ::setenv("HOME", QFile::encodeName(configHome()).constData(), 1);
    for (const char* value : {"", "relative/path"}) {
        ::setenv("XDG_CONFIG_HOME", value, 1);
        EXPECT_EQ(hiveFilePath(HKEY_CURRENT_USER), configHome() + QStringLiteral("/.config/mirravelnock/HKEY_CURRENT_USER.reg"));
    }
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo::exists(configHome() + QStringLiteral("/.config/mirravelnock/HKEY_CURRENT_USER.reg")));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(configHome() + QStringLiteral("/.config/mirravelnock")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::setenv("HOME", home.constData(), 1);
}

} // namespace
} // namespace mv::shell
