// A folder of its own and two key files for each mvcrypt test.
#pragma once

#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class MvcryptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        dir = tmp.path();
        keyFile = tmp.filePath(QStringLiteral("../key-%1").arg(QFileInfo(dir).fileName()));
        writeFile(keyFile, "correct horse\n");
        wrongKeyFile = keyFile + ".wrong";
        writeFile(wrongKeyFile, "battery staple\n");
    }
    void TearDown() override
    {
        QFile::remove(keyFile);
        QFile::remove(wrongKeyFile);
    }
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }
    CliRun run(QStringList args) const { return runMvcrypt(args, dir); }

    QTemporaryDir tmp;
    QString dir, keyFile, wrongKeyFile;
};
