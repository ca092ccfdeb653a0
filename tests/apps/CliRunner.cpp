#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <QTemporaryDir>

#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

CliRun runMvcrypt(const QStringList& args, const QString& workingDir)
{
    QProcess p;
    p.setWorkingDirectory(workingDir);
    // A new session has no controlling terminal, as under CI or cron.
    p.setChildProcessModifier([] { ::setsid(); });
    p.start(QStringLiteral(MVCRYPT_PATH), args);
    p.closeWriteChannel();
    CliRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

CliRun runMvcryptRaw(const QList<QByteArray>& args, const QString& workingDir)
{
    QTemporaryDir capture;
    const QByteArray out = QFile::encodeName(capture.filePath(QStringLiteral("out")));
    const QByteArray err = QFile::encodeName(capture.filePath(QStringLiteral("err")));
    const QByteArray dir = QFile::encodeName(workingDir);
    std::vector<char*> argv{const_cast<char*>(MVCRYPT_PATH)};
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int o = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 || ::chdir(dir.constData()) < 0)
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

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 gen(seed);
    QByteArray b(size, Qt::Uninitialized);
    for (char& c : b)
        c = char(gen() & 0xff);
    return b;
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
