#pragma once

#include "shell/Registry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace mv::shell::test {

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
    QString storePath(const QString& name) const { return storeDir() + QLatin1Char('/') + name; }
    QString userStore() const { return storePath(QStringLiteral("HKEY_CURRENT_USER.reg")); }

    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeStore(const QByteArray& bytes) const
    {
        QDir().mkpath(storeDir());
        QFile f(userStore());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QStringList storeFiles() const
    {
        return QDir(storeDir()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

private:
    QTemporaryDir tmp_;
    QByteArray saved_;
};

} // namespace mv::shell::test
