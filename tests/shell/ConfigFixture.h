#pragma once

#include "fileutil/TestFiles.h"
#include "shell/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace mvtest;

namespace mv::shell::test {

inline const QString kSettings = QStringLiteral("Settings");

// Each test gets a config folder of its own, so stores never leak between tests.
class ConfigFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(tmp_.path()).constData(), 1);
    }
    void TearDown() override { ::setenv("XDG_CONFIG_HOME", saved_.constData(), 1); }

    QString configHome() const { return tmp_.path(); }
    QString storeDir() const { return tmp_.path() + QStringLiteral("/mirravelnock"); }
    QString userStore() const { return storeDir() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }

    // Writes a store file as a hand or a crashed writer left it.
    void writeStore(const QByteArray& bytes, const char* name = "HKEY_CURRENT_USER.reg") const
    {
        ASSERT_TRUE(QDir().mkpath(storeDir()));
        ASSERT_TRUE(writeAll(storeDir() + QLatin1Char('/') + QLatin1String(name), bytes));
    }

    // The store and its lock, and nothing else: no temporary file left behind.
    bool onlyTheStore() const
    {
        return QDir(storeDir()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name) ==
               QStringList {"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"};
    }

private:
    QTemporaryDir tmp_;
    QByteArray saved_;
};

} // namespace mv::shell::test
