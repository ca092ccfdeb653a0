#include "shell/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mv::shell {

namespace {

bool isSwitch(const QByteArray& arg, const char* name)
{
    return arg.size() >= qsizetype(qstrlen(name)) && qstrnicmp(arg.constData(), name, qstrlen(name)) == 0;
}

// Decodes as the file system does; a path that doesn't come back to the same bytes would
// name another file once shown, stored and read again.
bool decodePath(const QByteArray& bytes, QString* path)
{
    *path = QFile::decodeName(bytes);
    return QFile::encodeName(*path) == bytes;
}

// An argument that looks like an option is still a file when a file of that name exists:
// "mirravelnock -rf.txt" opens -rf.txt rather than the last folder.
bool namesAFile(const QByteArray& arg, const QString& currentDir)
{
    QString path;
    return decodePath(arg, &path) && QFileInfo(QDir(currentDir).filePath(path)).isFile();
}

} // namespace

CommandLine parseCommandLine(const QList<QByteArray>& args, const QString& currentDir)
{
    CommandLine cl;
    QByteArray file;
    bool named = false;
    bool optionsEnded = false;
    for (const QByteArray& arg : args) {
        if (optionsEnded) {
            if (!named && !arg.isEmpty()) {
                file = arg;
                named = true;
            }
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg.size() == 2 && isSwitch(arg, "/M")) {
            cl.minimized = true;
        } else if (isSwitch(arg, "/F=")) {
            // An empty "/F=" names nothing.
            if (!named && arg.size() > 3) {
                file = arg.mid(3);
                named = true;
            }
        } else if (!arg.isEmpty() && !named && (!arg.startsWith('-') || namesAFile(arg, currentDir))) {
            file = arg;
            named = true;
        }
    }
    if (file.isEmpty())
        return cl;
    QString path;
    if (!decodePath(file, &path)) {
        cl.undecodableFile = true;
        cl.problem = QCoreApplication::translate(
            "mv::shell", "The file named on the command line has a name that is not valid text on this "
                         "system, so it can't be shown. No file is opened.");
        return cl;
    }
    if (!path.startsWith(u'/'))
        path = (currentDir.endsWith(u'/') ? currentDir : currentDir + u'/') + path;
    cl.startupFile = path;
    return cl;
}

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i)
        args << QByteArray(argv[i]);
    return parseCommandLine(args, QDir::currentPath());
}

QString completeStartupFile(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return path;
    const QFileInfo info(path);
    if (info.isDir())
        return path.endsWith(u'/') ? path : path + u'/';
    if (info.exists())
        return path;
    return path.left(slash + 1);
}

} // namespace mv::shell
