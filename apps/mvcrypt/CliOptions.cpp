#include "CliOptions.h"

#include <QCoreApplication>
#include <QFile>

namespace mv::cli {

namespace {

Command commandNamed(const QString& word)
{
    if (word == QLatin1String("encrypt"))
        return Command::Encrypt;
    if (word == QLatin1String("decrypt"))
        return Command::Decrypt;
    if (word == QLatin1String("checksum"))
        return Command::Checksum;
    if (word == QLatin1String("wipe"))
        return Command::Wipe;
    return Command::None;
}

} // namespace

CliOptions parseCommandLine(const QList<QByteArray>& raw)
{
    CliOptions o;
    QStringList args;
    for (const QByteArray& a : raw)
        args << QFile::decodeName(a);
    bool onlyPaths = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyPaths || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            if (o.command == Command::None) {
                o.command = commandNamed(a);
                if (o.command == Command::None) {
                    o.error = QCoreApplication::translate("mv::cli", "unknown command '%1'").arg(a);
                    return o;
                }
            } else if (a.isEmpty()) {
                // Never taken as "here": a script's empty variable must not encrypt a folder.
                o.error = QCoreApplication::translate("mv::cli", "an empty path was given");
                return o;
            } else if (QFile::encodeName(a) != raw[i]) {
                o.unrepresentable << raw[i];
            } else {
                o.paths << a;
            }
        } else if (a == QLatin1String("--")) {
            onlyPaths = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.command = Command::Help;
            return o;
        } else if (a == QLatin1String("-r") || a == QLatin1String("--recursive")) {
            o.recursive = true;
        } else if (a == QLatin1String("--replace")) {
            o.replace = true;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--key-file") || a.startsWith(QLatin1String("--key-file="))) {
            if (a.contains(QLatin1Char('='))) {
                o.keyFile = a.section(QLatin1Char('='), 1);
            } else if (i + 1 < args.size()) {
                o.keyFile = args[++i];
            }
            if (o.keyFile.isEmpty()) {
                o.error = QCoreApplication::translate("mv::cli", "--key-file needs a file name");
                return o;
            }
        } else if (a == QLatin1String("--key") || a.startsWith(QLatin1String("--key="))) {
            o.error = QCoreApplication::translate(
                "mv::cli", "a key is never taken from the command line, where other users "
                           "can read it; use --key-file FILE or type it when asked");
            return o;
        } else {
            o.error = QCoreApplication::translate("mv::cli", "unknown option '%1'").arg(a);
            return o;
        }
    }
    if (o.command == Command::None)
        o.error = QCoreApplication::translate("mv::cli", "no command given");
    else if (o.paths.isEmpty() && o.unrepresentable.isEmpty())
        o.error = QCoreApplication::translate("mv::cli", "no files given");
    else if (o.recursive && (o.command == Command::Checksum || o.command == Command::Wipe))
        o.error = QCoreApplication::translate("mv::cli", "-r works with encrypt and decrypt only");
    else if (!o.keyFile.isEmpty() && o.command != Command::Encrypt && o.command != Command::Decrypt)
        o.error = QCoreApplication::translate("mv::cli", "--key-file works with encrypt and decrypt only");
    else if (o.replace && o.command != Command::Encrypt && o.command != Command::Decrypt)
        o.error = QCoreApplication::translate("mv::cli", "--replace works with encrypt and decrypt only");
    return o;
}

QString usageText()
{
    return QCoreApplication::translate(
        "mv::cli", "Usage: mvcrypt COMMAND [OPTIONS] PATH...\n"
                   "Encrypts, decrypts, checksums and wipes files the way Mirravelnock does, so files move\n"
                   "freely between the two.\n"
                   "\n"
                   "Commands:\n"
                   "  encrypt PATH...   encrypt each file into its encrypted name (photo.jpg becomes\n"
                   "                    photo_jpg.mv$, readme becomes readme.mv%); the plain file and the\n"
                   "                    desktop's thumbnails of it are wiped\n"
                   "  decrypt PATH...   decrypt each encrypted file back to its plain name; the encrypted\n"
                   "                    file is wiped\n"
                   "  checksum FILE...  print the CRC-32 of each file (the checksum of zip and PNG)\n"
                   "  wipe FILE...      overwrite each file with zeros, rename, truncate and delete it, and\n"
                   "                    wipe the desktop's thumbnails of it\n"
                   "\n"
                   "Options:\n"
                   "  -r, --recursive   encrypt or decrypt whole folders: each folder's files first, then\n"
                   "                    its sub-folders\n"
                   "  --key-file FILE   the key is the whole of FILE less one line break at its end\n"
                   "                    (\\n or \\r\\n); without it the key is asked on the terminal,\n"
                   "                    twice when encrypting. The key file itself is never encrypted\n"
                   "  --replace         replace a different file already under the target name (for\n"
                   "                    example file_my_ext.mv$ made from file_my.ext); without it such\n"
                   "                    a file is left as it is and the file in hand fails\n"
                   "  -v, --verbose     name every file done on standard output\n"
                   "  -h, --help        show this help\n"
                   "\n"
                   "Exit status is 0 only when every file succeeded; a file already in the wanted state, or\n"
                   "in use by another run, is passed over and does not count as a failure. Ctrl+C (or\n"
                   "SIGTERM, SIGHUP) finishes or cleans up the file in hand and exits with status 130.\n"
                   "Temporary files of a run that was killed (.mv-*.tmp, $MV*.TMP) are never encrypted or\n"
                   "decrypted; they are named, with the command that wipes them. See the README for the\n"
                   "limits of wiping.\n");
}

} // namespace mv::cli
