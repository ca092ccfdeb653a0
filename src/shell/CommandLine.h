#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace mv::shell {

// The program's command line. Paths on Linux contain "/", so the switches are whole
// arguments:
// - "/F=path" (any letter case): the file to open; the path runs to the end of the argument,
//   blanks and slashes included, and is taken as written.
// - a bare argument that is no switch: the file to open too, as file managers pass files;
//   "/media/x.jpg" is a file, not a switch. Arguments beginning with "-" are options of
//   someone else's and are skipped, unless a file of that name exists; after "--" every
//   argument is a file name.
// - "/M" (any letter case) as an argument of its own: start minimized.
// The first file named wins.
struct CommandLine {
    // Absolute path of the file to open, empty when none; see completeStartupFile().
    QString startupFile;
    bool minimized = false;
    // A file was named but its path is not valid text in this system's file name encoding,
    // so it can't be shown or stored: it is treated as no file, and `problem` says so.
    bool undecodableFile = false;
    QString problem;
};

// Parses the arguments after the program's own path (argv[1..], after QApplication has
// taken out its own options), as the raw bytes the system passed. A relative path is made
// absolute against `currentDir`. The file name is not looked up; see completeStartupFile().
CommandLine parseCommandLine(const QList<QByteArray>& args, const QString& currentDir);

// The same for this process: argv after QApplication has taken out its own options, made
// absolute against the current folder.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The file name as the start-up opens it: an existing file stays as it is; an existing
// folder gets a trailing "/"; for a path that does not exist, only its folder is kept,
// with its trailing "/", so that the folder is opened and nothing is selected.
QString completeStartupFile(const QString& path);

} // namespace mv::shell
