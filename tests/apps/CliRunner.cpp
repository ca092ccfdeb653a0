#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <random>

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
