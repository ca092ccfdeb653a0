// The command line of mvcrypt.
#pragma once

#include <QString>
#include <QStringList>

namespace mv::cli {

enum class Command { None, Encrypt, Decrypt, Checksum, Wipe, Help };

struct CliOptions {
    Command command = Command::None;
    QStringList paths;
    QString keyFile;
    bool recursive = false;
    bool verbose = false;
    QString error; // a usage error, in plain words
};

CliOptions parseCommandLine(const QStringList& args);
QString usageText();

} // namespace mv::cli
