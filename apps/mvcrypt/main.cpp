// mvcrypt: the program's encryption, checksum and wipe for scripts and terminals.
#include "CliOptions.h"
#include "Commands.h"
#include "KeyInput.h"
#include "i18n/Language.h"
#include "shell/ProcessGuard.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace mv::cli;

namespace {

int usageError(const QString& why)
{
    std::fputs(QCoreApplication::translate("mv::cli", "mvcrypt: %1\nTry 'mvcrypt --help'.\n")
                   .arg(why)
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return 2;
}

QByteArray obtainKey(const CliOptions& o, QString* error)
{
    const KeyPurpose purpose = o.command == Command::Encrypt ? KeyPurpose::Encrypt : KeyPurpose::Decrypt;
    return o.keyFile.isEmpty() ? askKeyOnTerminal(purpose, error) : readKeyFile(o.keyFile, purpose, error);
}

} // namespace

int main(int argc, char** argv)
{
    if (const mv::fileutil::FileResult guard = mv::shell::lockDownProcess(); !guard.ok)
        std::fprintf(stderr, "mvcrypt: keys may reach a core file: %s\n", guard.message().c_str());
    QCoreApplication app(argc, argv);
    mv::i18n::installTranslators(app, mv::i18n::userLanguage());
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i)
        args << QByteArray(argv[i]);
    const CliOptions options = parseCommandLine(args);
    if (options.command == Command::Help || argc == 1) {
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return options.command == Command::Help ? 0 : 2;
    }
    if (!options.error.isEmpty())
        return usageError(options.error);

    switch (options.command) {
    case Command::Checksum: return runChecksum(options);
    case Command::Wipe: return runWipe(options);
    case Command::Encrypt:
    case Command::Decrypt: {
        QString error;
        QByteArray key = obtainKey(options, &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "mvcrypt: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
        const int status = runCrypt(options, key);
        forgetKey(key);
        return status;
    }
    default: return usageError(QCoreApplication::translate("mv::cli", "no command given"));
    }
}
