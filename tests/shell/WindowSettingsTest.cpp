// How a stored "Spec" reads back, and the maker's values.
#include "shell/WindowSettings.h"
#include "shell/MakerDefaults.h"
#include "shell/RegDocument.h"
#include "shell/SettingsCatalogue.h"

#include "ConfigFixture.h"

namespace mv::shell {
namespace {

TEST(WindowSettingsTest, StoredSpecIsAnEntryIndexOnlyWhenItIsAWholeNumber)
{
    const auto entry = [](const char* text) {
        const StoredSpec s = parseStoredSpec(text);
        return s.kind == StoredSpec::Kind::Entry ? s.entry : -100;
    };
    for (const auto& [text, index] : {std::pair("3", 3), {"  0", 0}, {"0", 0}, {" 24 ", 24}})
        EXPECT_EQ(entry(text), index) << text;
    for (const char* absent : {"", "   "})
        EXPECT_EQ(parseStoredSpec(absent).kind, StoredSpec::Kind::Absent) << absent;
    for (const char* typed : {"*.jpg;*.png", "3*.tga", "-1", "1.5", "99999999999"}) {
        const StoredSpec s = parseStoredSpec(typed);
        EXPECT_EQ(s.kind, StoredSpec::Kind::Patterns) << typed;
        EXPECT_EQ(s.patterns, typed);
    }
}

using MakerDefaultsTest = test::ConfigFixture;

TEST_F(MakerDefaultsTest, WrittenOnlyWhereTheDefaultValueIsMissingOrEmpty)
{
    ASSERT_TRUE(writeMakerDefaults().ok);
    const QString company = GetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString());
    EXPECT_FALSE(company.isEmpty());
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, "TechEmail").contains(u'@'));

    // Present values stay; an empty company default brings its three values back.
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kProductKey, QString(), REG_SZ, "mine"));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString(), REG_SZ, QString()));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kCompanyKey, "WebSite", REG_SZ, "changed"));
    ASSERT_TRUE(writeMakerDefaults().ok);
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kProductKey, QString()), "mine");
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString()), company);
    EXPECT_NE(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, "WebSite"), "changed");

    // Nothing missing: the store is not written again.
    const QByteArray before = readAll(userStore());
    const auto inode = lstatOf(userStore()).st_ino;
    ASSERT_TRUE(writeMakerDefaults().ok);
    EXPECT_EQ(readAll(userStore()), before);
    EXPECT_EQ(lstatOf(userStore()).st_ino, inode);
}

} // namespace
} // namespace mv::shell
