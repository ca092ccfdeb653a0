#include "CliOptions.h"

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

CliOptions parseCommandLine(const QStringList& args)
{
    CliOptions o;
    bool onlyPaths = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyPaths || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            if (o.command == Command::None) {
                o.command = commandNamed(a);
                if (o.command == Command::None) {
                    o.error = QStringLiteral("unknown command '%1'").arg(a);
                    return o;
                }
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
        } else if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--key-file") || a.startsWith(QLatin1String("--key-file="))) {
            if (a.contains(QLatin1Char('='))) {
                o.keyFile = a.section(QLatin1Char('='), 1);
            } else if (i + 1 < args.size()) {
                o.keyFile = args[++i];
            }
            if (o.keyFile.isEmpty()) {
                o.error = QStringLiteral("--key-file needs a file name");
                return o;
            }
        } else if (a == QLatin1String("--key") || a.startsWith(QLatin1String("--key="))) {
            o.error = QStringLiteral("a key is never taken from the command line, where other users "
                                     "can read it; use --key-file FILE or type it when asked");
            return o;
        } else {
            o.error = QStringLiteral("unknown option '%1'").arg(a);
            return o;
        }
    }
    if (o.command == Command::None)
        o.error = QStringLiteral("no command given");
    else if (o.paths.isEmpty())
        o.error = QStringLiteral("no files given");
    else if (o.recursive && (o.command == Command::Checksum || o.command == Command::Wipe))
        o.error = QStringLiteral("-r works with encrypt and decrypt only");
    else if (!o.keyFile.isEmpty() && o.command != Command::Encrypt && o.command != Command::Decrypt)
        o.error = QStringLiteral("--key-file works with encrypt and decrypt only");
    return o;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: mvcrypt COMMAND [OPTIONS] PATH...\n"
        "Encrypts, decrypts, checksums and wipes files the way Mirravelnock does, so files move\n"
        "freely between the two.\n"
        "\n"
        "Commands:\n"
        "  encrypt PATH...   encrypt each file into its encrypted name (photo.jpg becomes\n"
        "                    photo_jpg.mv$, readme becomes readme.mv%); the plain file is wiped\n"
        "  decrypt PATH...   decrypt each encrypted file back to its plain name; the encrypted\n"
        "                    file is wiped\n"
        "  checksum FILE...  print the CRC-32 of each file (the checksum of zip and PNG)\n"
        "  wipe FILE...      overwrite each file with zeros, rename, truncate and delete it\n"
        "\n"
        "Options:\n"
        "  -r, --recursive   encrypt or decrypt whole folders: each folder's files first, then\n"
        "                    its sub-folders\n"
        "  --key-file FILE   read the key from FILE (a trailing line break is dropped); without\n"
        "                    it the key is asked on the terminal, twice when encrypting\n"
        "  -v, --verbose     name every file done on standard output\n"
        "  -h, --help        show this help\n"
        "\n"
        "Exit status is 0 only when every file succeeded; a file already in the wanted state is\n"
        "passed over and does not count as a failure. See the README for the limits of wiping.\n");
}

} // namespace mv::cli
