#pragma once
// Small file helpers shared by the file, crypto, settings and mvcrypt tests: read and write
// whole files, list a folder with its hidden names, count open descriptors.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mvtest {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Bytes that are never zero, so a zeroed file cannot pass for the original.
inline QByteArray patterned(int size, int seed = 7)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(1 + (i * 31 + seed) % 251);
    return data;
}

// Every name in the folder, hidden ones included, sorted.
inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

inline int openDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

inline struct stat lstatOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

inline unsigned modeOf(const QString& path)
{
    return lstatOf(path).st_mode & 07777;
}

// Gives the file at `from` a second name, `to`.
inline bool hardLink(const QString& from, const QString& to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

inline bool exists(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Runs `check` as an ordinary user: root ignores permissions, so a test of a read-only folder
// means nothing as root. As root, `folder` and all in it are given to "nobody" and `check`
// runs in a child process under that user; its result comes back as the exit status.
inline bool asOrdinaryUser(const QString& folder, const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    constexpr uid_t nobody = 65534;
    const std::string top = QFile::encodeName(folder).toStdString();
    (void)::lchown(top.c_str(), nobody, nobody);
    for (const auto& e : std::filesystem::recursive_directory_iterator(top))
        (void)::lchown(e.path().c_str(), nobody, nobody);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace mvtest
