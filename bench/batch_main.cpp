// Runs the window's encryption batch (EncDecBatch, the code path of "Encrypt..." and
// "Decrypt..." without the widgets) over one folder tree, for batch_compare.sh.
// Usage: batch_bench encrypt|decrypt FOLDER KEYFILE
#include "KeyFileArgument.h"
#include "crypto/EncDecBatch.h"
#include "crypto/KeyState.h"

#include <QCoreApplication>

#include <cstdio>

using namespace mv::crypto;

namespace {

// Answers nothing the way a user would: the key is known, nothing is replaced or wiped.
class Quiet : public EncDecCallbacks {
public:
    bool askKey(const QString&, KeyState&) override { return false; }
    ReplaceAnswer askReplace(const QString&, const QString&) override { return ReplaceAnswer::Skip; }
    bool askWipeLeftovers(const QStringList&) override { return false; }
    void progress(const EncDecProgress&) override {}
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: batch_bench encrypt|decrypt FOLDER KEYFILE\n");
        return 2;
    }
    const std::optional<SecretText> key = readKeyFileArgument(argv[3]);
    if (!key)
        return 2;
    KeyState keys;
    keys.append(*key);

    EncDecJob job;
    job.encrypt = qstrcmp(argv[1], "encrypt") == 0;
    job.key = *key;
    job.keys = &keys;
    job.scope.folder = QString::fromLocal8Bit(argv[2]);
    job.scope.spec = QStringLiteral("*.*");
    job.scope.includeSubfolders = true;
    Quiet quiet;
    const EncDecResult r = EncDecBatch(std::move(job), quiet).run();
    std::printf("done %d, passed over %d, failed %d\n", r.done, r.passedOver, int(r.failed.size()));
    return r.failed.isEmpty() ? 0 : 1;
}
