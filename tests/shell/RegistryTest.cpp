#include "ConfigFixture.h"

#include "shell/Registry.h"

#include <sys/stat.h>

namespace mv::shell {
namespace {

using RegistryTest = test::ConfigFixture;

const QString kSettings = QStringLiteral("Settings");

TEST_F(RegistryTest, KeyPathsAreTheProgramsOwn)
{
    EXPECT_EQ(kCompanyKey, QStringLiteral("Software\\Braxmoor Laboratories"));
    EXPECT_EQ(kProductKey, QStringLiteral("Software\\Braxmoor Laboratories\\Mirravelnock!\\"));
    EXPECT_EQ(quint32(HKEY_CURRENT_USER), 0x80000001u);
    EXPECT_EQ(quint32(HKEY_CLASSES_ROOT), 0x80000000u);
}

TEST_F(RegistryTest, NeverWrittenValuesReadEmptyAndCreateNothing)
{
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Last Dir")), QString());
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, QStringLiteral(".jpg"), QString()), QString());
    EXPECT_FALSE(registryError().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(storeDir())) << "reading must not create the store";

    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("b")), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Other"), QStringLiteral("a")), QString());
}

TEST_F(RegistryTest, SettingsLiveUnderTheProductKey)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Last Dir"), QStringLiteral("/home/me/Bilder")));
    EXPECT_TRUE(registryError().isEmpty());
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings"),
                          QStringLiteral("Last Dir")),
              QStringLiteral("/home/me/Bilder"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Last Dir")), QStringLiteral("/home/me/Bilder"));

    ASSERT_TRUE(DeleteSetting(kSettings, QStringLiteral("Last Dir")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Last Dir")), QString());
}

TEST_F(RegistryTest, EmptyTextIsStoredAndReadsEmpty)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("x"), QStringLiteral("full")));
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("x"), QString()));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("x")), QString());
    EXPECT_TRUE(registryError().isEmpty()) << "the value exists, it is just empty";
    EXPECT_TRUE(readFile(userStore()).contains("\"x\"=\"\"\n"));
}

TEST_F(RegistryTest, LongValuesReadBackWhole)
{
    for (const int length : {2047, 2048, 1'000'000}) {
        QString text;
        text.reserve(length);
        for (int i = 0; i < length; ++i)
            text += QChar(u'a' + i % 26);
        ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("List"), text)) << length;
        const QString back = GetSetting(kSettings, QStringLiteral("List"));
        EXPECT_EQ(back.size(), length);
        EXPECT_TRUE(back == text) << length;
    }
}

TEST_F(RegistryTest, OddNamesAndValuesRoundTrip)
{
    const QStringList samples = {
        QStringLiteral("Last Dir"), QStringLiteral("C:\\Users\\x\\"), QStringLiteral("say \"hi\""),
        QStringLiteral("two\nlines\r\n"), QStringLiteral("a=b"), QStringLiteral("[x]"),
        QStringLiteral("Bücher/日本"), QStringLiteral("@"), QStringLiteral(";not a comment"),
        QStringLiteral("  spaced  "), QStringLiteral("tab\there"), QString(QChar(0x1f)),
    };
    for (const QString& s : samples)
        ASSERT_TRUE(SaveSetting(kSettings, s, QStringLiteral("v:") + s)) << s.toStdString();
    ASSERT_TRUE(SaveSetting(kSettings, QString(), QStringLiteral("the default")));
    for (const QString& s : samples)
        EXPECT_EQ(GetSetting(kSettings, s), QStringLiteral("v:") + s) << s.toStdString();
    EXPECT_EQ(GetSetting(kSettings, QString()), QStringLiteral("the default"));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("@")), QStringLiteral("v:@"))
        << "a value named \"@\" is not the default value";

    const QStringList keys = {QStringLiteral("[x]"), QStringLiteral(";semi"), QStringLiteral("#hash"),
                              QStringLiteral(" spaced "), QStringLiteral("a]b"), QStringLiteral("Bücher/日本"),
                              QStringLiteral("Sub\\Key\\")};
    for (const QString& k : keys)
        ASSERT_TRUE(SaveSetting(k, QStringLiteral("k"), k)) << k.toStdString();
    for (const QString& k : keys)
        EXPECT_EQ(GetSetting(k, QStringLiteral("k")), k) << k.toStdString();
    EXPECT_EQ(GetSetting(QStringLiteral("sub\\key"), QStringLiteral("k")), keys.last())
        << "a trailing backslash names the same key";
    EXPECT_EQ(GetSetting(QStringLiteral("spaced"), QStringLiteral("k")), QString()) << "spaces belong to the name";
}

TEST_F(RegistryTest, WritingToAMissingKeyCreatesItAndItsParents)
{
    const QString deep = QStringLiteral("Software\\Classes\\Deep\\Er");
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, deep, QStringLiteral("v"), 4 /* ignored */, QStringLiteral("42")));
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, deep, QStringLiteral("v")), QStringLiteral("42"));
    const QByteArray file = readFile(userStore());
    EXPECT_TRUE(file.contains("[Software]\n"));
    EXPECT_TRUE(file.contains("[Software\\Classes\\Deep]\n"));
    EXPECT_TRUE(file.contains("\"v\"=\"42\"\n")) << "every value is written as a string";
}

TEST_F(RegistryTest, LookupIgnoresCaseButKeepsTheWrittenCase)
{
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, QStringLiteral("Software\\MyKey"), QStringLiteral("Last Dir"), REG_SZ,
                            QStringLiteral("one")));
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\mykey"), QStringLiteral("last dir")),
              QStringLiteral("one"));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, QStringLiteral("software\\MYKEY\\Sub"), QStringLiteral("LAST DIR"),
                            REG_SZ, QStringLiteral("two")));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, QStringLiteral("software\\mykey"), QStringLiteral("LAST DIR"), REG_SZ,
                            QStringLiteral("three")));
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, QStringLiteral("Software\\MyKey"), QStringLiteral("Last Dir")),
              QStringLiteral("three"));
    const QByteArray file = readFile(userStore());
    EXPECT_TRUE(file.contains("[Software\\MyKey]\n\"Last Dir\"=\"three\"\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("[Software\\MyKey\\Sub]\n\"LAST DIR\"=\"two\"\n")) << file.toStdString();
    EXPECT_FALSE(file.contains("mykey")) << file.toStdString();
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("Ümlaut")), QString());
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Ümlaut"), QStringLiteral("ü")));
    EXPECT_EQ(GetSetting(QStringLiteral("SETTINGS"), QStringLiteral("ümlaut")), QStringLiteral("ü"));
}

TEST_F(RegistryTest, DeletesValuesAndKeyTreesButNotSiblings)
{
    const QString root = kProductKey;
    ASSERT_TRUE(SaveSetting(QStringLiteral("Settings"), QStringLiteral("a"), QStringLiteral("1")));
    ASSERT_TRUE(SaveSetting(QStringLiteral("Settings"), QStringLiteral("b"), QStringLiteral("2")));
    ASSERT_TRUE(SaveSetting(QStringLiteral("Settings\\Sub"), QStringLiteral("c"), QStringLiteral("3")));
    ASSERT_TRUE(SaveSetting(QStringLiteral("Settings\\Sub\\Deeper"), QStringLiteral("d"), QStringLiteral("4")));
    ASSERT_TRUE(SaveSetting(QStringLiteral("Settings2"), QStringLiteral("a"), QStringLiteral("kept")));

    ASSERT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, root + QStringLiteral("settings"), QStringLiteral("A")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("a")), QString());
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, root + QStringLiteral("Nowhere"), QStringLiteral("a")))
        << "deleting what isn't there is no failure";

    ASSERT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, root + QStringLiteral("SETTINGS")));
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("b")), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Settings\\Sub"), QStringLiteral("c")), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Settings\\Sub\\Deeper"), QStringLiteral("d")), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Settings2"), QStringLiteral("a")), QStringLiteral("kept"));
    const QByteArray file = readFile(userStore());
    EXPECT_FALSE(file.contains("Settings]")) << file.toStdString();
    EXPECT_FALSE(file.contains("Settings\\")) << file.toStdString();
    EXPECT_TRUE(file.contains("[Software\\Braxmoor Laboratories\\Mirravelnock!]\n")) << "the parent stays";
}

TEST_F(RegistryTest, RefusesKeyPathsThatNameNoKey)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("a"), QStringLiteral("1")));
    const QString lone = QStringLiteral("A") + QChar(0xdc00);
    for (const QString& bad : {QString(), QStringLiteral("\\"), QStringLiteral("A\\\\B"), QStringLiteral("A\nB"), lone}) {
        EXPECT_FALSE(SetRegValue(HKEY_CURRENT_USER, bad, QStringLiteral("v"), REG_SZ, QStringLiteral("x")));
        EXPECT_FALSE(registryError().isEmpty());
        EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, bad)) << "must never clear the whole hive";
    }
    EXPECT_FALSE(SetRegValue(Hive(0x80000002), QStringLiteral("A"), QStringLiteral("v"), REG_SZ, QStringLiteral("x")));
    EXPECT_EQ(GetRegValue(Hive(0x80000002), QStringLiteral("A"), QStringLiteral("v")), QString());
    EXPECT_EQ(GetSetting(kSettings, QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(storeFiles(), QStringList({QStringLiteral("HKEY_CURRENT_USER.reg"), QStringLiteral("HKEY_CURRENT_USER.reg.lock")}));
}

TEST_F(RegistryTest, ClassesRootIsASeparateFile)
{
    ASSERT_TRUE(SetRegValue(HKEY_CLASSES_ROOT, QStringLiteral(".jpg"), QString(), REG_SZ, QStringLiteral("Mirravelnock.Image")));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, QStringLiteral(".jpg"), QString(), REG_SZ, QStringLiteral("user")));
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, QStringLiteral(".JPG"), QString()), QStringLiteral("Mirravelnock.Image"));
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, QStringLiteral(".jpg"), QString()), QStringLiteral("user"));
    EXPECT_EQ(hiveFilePath(HKEY_CLASSES_ROOT), storePath(QStringLiteral("HKEY_CLASSES_ROOT.reg")));
    EXPECT_EQ(readFile(hiveFilePath(HKEY_CLASSES_ROOT)).toStdString(),
              "Mirravelnock settings 1\n\n[.jpg]\n@=\"Mirravelnock.Image\"\n\n");
    ASSERT_TRUE(DeleteRegKey(HKEY_CLASSES_ROOT, QStringLiteral(".jpg")));
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, QStringLiteral(".jpg"), QString()), QStringLiteral("user"));
}

TEST_F(RegistryTest, FileIsPrivateReadableText)
{
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Last Dir"), QStringLiteral("/home/me/Bücher")));
    EXPECT_EQ(readFile(userStore()).toStdString(),
              "Mirravelnock settings 1\n\n"
              "[Software]\n\n"
              "[Software\\Braxmoor Laboratories]\n\n"
              "[Software\\Braxmoor Laboratories\\Mirravelnock!]\n\n"
              "[Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings]\n"
              "\"Last Dir\"=\"/home/me/B\xc3\xbc" "cher\"\n\n");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(userStore()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "nobody else may read it";
    ASSERT_EQ(::stat(QFile::encodeName(storeDir()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

} // namespace
} // namespace mv::shell
