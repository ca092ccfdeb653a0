// Runs the Secured Access List's list jobs (EncryptFileList and DecryptFileList, the code path
// of an entry's start and re-lock without EncStat) over every file of a folder, for
// quicklist_compare.sh.
// Usage: quicklist_bench encrypt|decrypt FOLDER KEYFILE   (FOLDER holds the plain names' files)
#include "KeyFileArgument.h"
#include "crypto/EncryptedNames.h"
#include "crypto/KeyState.h"
#include "secured/FileListText.h"
#include "secured/ListJobs.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace mv;

namespace {

// Answers nothing the way a user would: the key is known and nothing is in the way.
class Quiet : public secured::ListJobCallbacks {
public:
    bool askKey(const QString&, crypto::KeyState&) override { return false; }
    ReplaceAnswer askReplace(const QString&, const QString&) override { return ReplaceAnswer::Skip; }
    void fileInHand(const QString&) override {}
    void unableToOpen(const QString&, const QString&) override {}
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: quicklist_bench encrypt|decrypt FOLDER KEYFILE\n");
        return 2;
    }
    const std::optional<crypto::SecretText> read = readKeyFileArgument(argv[3]);
    if (!read)
        return 2;
    const crypto::SecretText& key = *read;
    crypto::KeyState keys;
    keys.append(key);

    // The entry's files by their plain names, as the list keeps them.
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    QStringList files;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        files << crypto::PlainName(folder.filePath(name));
    Quiet quiet;
    const bool encrypt = qstrcmp(argv[1], "encrypt") == 0;
    const secured::ListJobResult r =
        encrypt ? secured::EncryptFileList(secured::joinFileList(files), key, quiet)
                : secured::DecryptFileList(secured::joinFileList(files), keys, quiet);
    std::printf("done %d, passed over %d%s%s\n", r.done, r.passedOver,
                r.file.isEmpty() ? "" : ", stopped at ", qPrintable(r.file));
    return r.kind == secured::ListJobResult::Finished ? 0 : 1;
}
