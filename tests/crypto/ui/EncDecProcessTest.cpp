// The progress dialog running real batches offscreen: the summary texts, and a round trip byte
// for byte in which the key is asked once and then remembered.
#include "crypto/ui/EncDecProcess.h"
#include "crypto/EncDecBatch.h"
#include "crypto/KeyState.h"
#include "fileutil/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mv::crypto;

namespace {

EncDecResult runBatch(bool encrypt, const QString& folder, KeyState& keys, QStringList* told,
                      int* questions = nullptr)
{
    EncDecJob job;
    job.encrypt = encrypt;
    job.key = SecretText::fromText(QStringLiteral("s3cret key"));
    job.keys = &keys;
    job.scope.folder = folder;
    job.scope.spec = QStringLiteral("*.*");
    EncDecProcess dialog(std::move(job), nullptr);
    dialog.tell = [told](const QString& text, bool) { told->append(text); };
    dialog.keyQuestion = [questions](const QString&, KeyState& k) {
        if (questions)
            ++*questions;
        k.append(SecretText::fromText(QStringLiteral("s3cret key")));
        return true;
    };
    return dialog.run();
}

} // namespace

TEST(EncDecProcess, RoundTripThroughTheDialogAndThePassedOverSummary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray a(100'000, 'a');
    const QByteArray b("short");
    ASSERT_TRUE(mvtest::writeAll(dir.filePath(QStringLiteral("a.txt")), a));
    ASSERT_TRUE(mvtest::writeAll(dir.filePath(QStringLiteral("b.dat")), b));
    KeyState keys;
    QStringList told;
    EncDecResult r = runBatch(true, dir.path(), keys, &told);
    EXPECT_EQ(r.done, 2);
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("a_txt.mv$"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.txt"))));

    r = runBatch(true, dir.path(), keys, &told);
    EXPECT_EQ(told, QStringList {QStringLiteral("2 file(s) already encrypted and were skiped.")});

    // Decrypting with an empty cache asks once, then the remembered key opens the second file.
    told.clear();
    int questions = 0;
    r = runBatch(false, dir.path(), keys, &told, &questions);
    EXPECT_EQ(r.done, 2);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(mvtest::readAll(dir.filePath(QStringLiteral("a.txt"))), a);
    EXPECT_EQ(mvtest::readAll(dir.filePath(QStringLiteral("b.dat"))), b);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}
