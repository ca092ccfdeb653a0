#include "shell/SettingText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

namespace mv::shell {
namespace {

TEST(SettingText, TruthValues)
{
    EXPECT_EQ(boolSettingText(true), "True");
    EXPECT_EQ(boolSettingText(false), "False");
    for (const bool def : {false, true}) {
        for (const char* yes : {"True", "true", "-1", "1"})
            EXPECT_TRUE(settingBool(yes, def)) << yes;
        for (const char* no : {"False", " FALSE ", "0"})
            EXPECT_FALSE(settingBool(no, def)) << no;
        for (const QString& other : QStringList {QString(), "yes", "Truex"})
            EXPECT_EQ(settingBool(other, def), def) << other.toStdString();
    }
}

TEST(SettingText, Numbers)
{
    EXPECT_EQ(intSettingText(42), "42");
    EXPECT_EQ(intSettingText(-7), "-7");
    EXPECT_EQ(settingInt("42", 5), 42);
    EXPECT_EQ(settingInt(" -3 ", 5), -3);
    // Empty, not a number, not decimal, out of range (not wrapped): the default.
    for (const QString& bad : QStringList {QString(), "12px", "0x10", "99999999999"})
        EXPECT_EQ(settingInt(bad, 5), 5) << bad.toStdString();
    EXPECT_EQ(settingInt64("99999999999", 5), 99999999999LL);
    const qint64 lowest = std::numeric_limits<qint64>::min();
    EXPECT_EQ(settingInt64(intSettingText(lowest), 0), lowest);
}

} // namespace
} // namespace mv::shell
