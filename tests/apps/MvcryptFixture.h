// Runs the built mvcrypt in a folder of its own, without a controlling terminal, and keeps
// what it printed; each test gets a folder and a key file beside it.
#pragma once

#include "fileutil/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>

using namespace mvtest;

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Arguments are raw bytes, so names that are not valid text can be passed too.
inline CliRun runMvcryptRaw(const QList<QByteArray>& args, const QString& workingDir)
{
    QTemporaryDir capture;
    const QByteArray out = QFile::encodeName(capture.filePath(QStringLiteral("out")));
    const QByteArray err = QFile::encodeName(capture.filePath(QStringLiteral("err")));
    const QByteArray dir = QFile::encodeName(workingDir);
    std::vector<char*> argv {const_cast<char*>(MVCRYPT_PATH)};
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid(); // a new session has no controlling terminal, as under CI or cron
        const int i = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 ||
            ::chdir(dir.constData()) < 0)
            ::_exit(126);
        ::execv(MVCRYPT_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    CliRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    r.out = QString::fromLocal8Bit(readAll(QFile::decodeName(out)));
    r.err = QString::fromLocal8Bit(readAll(QFile::decodeName(err)));
    return r;
}

inline CliRun runMvcrypt(const QStringList& args, const QString& workingDir)
{
    QList<QByteArray> raw;
    for (const QString& a : args)
        raw << QFile::encodeName(a);
    return runMvcryptRaw(raw, workingDir);
}

class MvcryptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        dir = tmp.path();
        keyFile = tmp.filePath(QStringLiteral("../key-%1").arg(QFileInfo(dir).fileName()));
        ASSERT_TRUE(writeAll(keyFile, "correct horse\n"));
    }
    void TearDown() override { QFile::remove(keyFile); }
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }
    CliRun run(const QStringList& args) const { return runMvcrypt(args, dir); }
    QStringList names() const { return entries(dir); }

    QTemporaryDir tmp;
    QString dir, keyFile;
};
