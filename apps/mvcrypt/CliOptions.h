// The command line of mvcrypt.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace mv::cli {

enum class Command {
    None,
    Encrypt,
    Decrypt,
    Checksum,
    Wipe,
    Help
};

struct CliOptions {
    Command command = Command::None;
    QStringList paths;
    QList<QByteArray> unrepresentable; // paths given whose bytes are not valid text
    QString keyFile;
    bool recursive = false;
    bool verbose = false;
    bool replace = false; // an existing, different file under the target name is replaced
    QString error;        // a usage error, in plain words
};

// The arguments as the bytes the system passed, so a file name that is not valid text is
// never turned into the name of another file.
CliOptions parseCommandLine(const QList<QByteArray>& args);
QString usageText();

} // namespace mv::cli
