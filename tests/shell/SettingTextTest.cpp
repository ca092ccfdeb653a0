#include "shell/SettingText.h"

#include <gtest/gtest.h>

#include <limits>

namespace mv::shell {
namespace {

TEST(SettingText, TruthValues)
{
    EXPECT_EQ(boolSettingText(true), QStringLiteral("True"));
    EXPECT_EQ(boolSettingText(false), QStringLiteral("False"));
    for (bool def : {false, true}) {
        EXPECT_TRUE(settingBool(QStringLiteral("True"), def));
        EXPECT_TRUE(settingBool(QStringLiteral("true"), def));
        EXPECT_TRUE(settingBool(QStringLiteral("-1"), def));
        EXPECT_TRUE(settingBool(QStringLiteral("1"), def));
        EXPECT_FALSE(settingBool(QStringLiteral("False"), def));
        EXPECT_FALSE(settingBool(QStringLiteral(" FALSE "), def));
        EXPECT_FALSE(settingBool(QStringLiteral("0"), def));
        EXPECT_EQ(settingBool(QString(), def), def);
        EXPECT_EQ(settingBool(QStringLiteral("yes"), def), def);
        EXPECT_EQ(settingBool(QStringLiteral("Truex"), def), def);
    }
}

TEST(SettingText, Numbers)
{
    EXPECT_EQ(intSettingText(42), QStringLiteral("42"));
    EXPECT_EQ(intSettingText(-7), QStringLiteral("-7"));
    EXPECT_EQ(settingInt(QStringLiteral("42"), 5), 42);
    EXPECT_EQ(settingInt(QStringLiteral(" -3 "), 5), -3);
    EXPECT_EQ(settingInt(QString(), 5), 5);
    EXPECT_EQ(settingInt(QStringLiteral("12px"), 5), 5);
    EXPECT_EQ(settingInt(QStringLiteral("0x10"), 5), 5) << "decimal only";
    EXPECT_EQ(settingInt(QStringLiteral("99999999999"), 5), 5) << "out of range is not wrapped";
    EXPECT_EQ(settingInt64(QStringLiteral("99999999999"), 5), 99999999999LL);
    EXPECT_EQ(settingInt64(intSettingText(std::numeric_limits<qint64>::min()), 0), std::numeric_limits<qint64>::min());
}

} // namespace
} // namespace mv::shell
