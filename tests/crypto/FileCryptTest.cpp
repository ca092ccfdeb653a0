// One file encrypted and decrypted through the real engine, as the batch, the list jobs and
// mvcrypt do it.
#include "crypto/FileCrypt.h"

#include "crypto/Signature.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cerrno>

using namespace mv::crypto;
using namespace mvtest;

namespace {

const QByteArray kKey = "correct horse";

class FileCryptTest : public ::testing::Test {
protected:
    QString at(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    QTemporaryDir dir;
};

TEST_F(FileCryptTest, EncryptsUnderTheEncryptedNameAndDecryptsBackWithTheKeyThatFits)
{
    const QString plain = at("photo.jpg");
    const QByteArray original = patterned(300000);
    ASSERT_TRUE(writeAll(plain, original));

    const CryptOutcome sealed = encryptOne(plain, kKey);
    ASSERT_EQ(sealed.kind, CryptOutcome::Done) << sealed.status.reason;
    EXPECT_TRUE(BeginsWithSignature(sealed.target));
    EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("photo_jpg.mv$")});

    const CryptOutcome wrong = decryptOne(sealed.target, {"wrong"});
    EXPECT_EQ(wrong.kind, CryptOutcome::NoKeyFits);
    EXPECT_EQ(wrong.status.reason, "the key does not open this file");
    const CryptOutcome gone = decryptOne(at("gone_jpg.mv$"), {kKey});
    EXPECT_EQ(gone.status.message(), "decrypt: no such file");
    EXPECT_EQ(gone.status.error, ENOENT);

    const CryptOutcome opened = decryptOne(sealed.target, {"wrong", kKey});
    ASSERT_EQ(opened.kind, CryptOutcome::Done) << opened.status.reason;
    EXPECT_EQ(opened.keyIndex, 1);
    EXPECT_EQ(readAll(plain), original);
    EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("photo.jpg")});
}

// file.my_ext and file_my.ext share an encrypted name; report_txt.mv$ decrypts onto a newer
// report.txt; a plain file may happen to be called a_b.mv$. None of them is destroyed
// unasked.
TEST_F(FileCryptTest, AnotherFileUnderTheTargetNameIsNeverDestroyedUnasked)
{
    ASSERT_TRUE(writeAll(at("file.my_ext"), "first"));
    ASSERT_TRUE(writeAll(at("file_my.ext"), "second"));
    ASSERT_EQ(encryptOne(at("file.my_ext"), kKey).kind, CryptOutcome::Done);
    const QByteArray firstSealed = readAll(at("file_my_ext.mv$"));
    const CryptOutcome second = encryptOne(at("file_my.ext"), kKey);
    EXPECT_EQ(second.kind, CryptOutcome::TargetExists);
    EXPECT_EQ(second.status.reason, "file_my_ext.mv$ exists; it is left as it is");
    EXPECT_EQ(readAll(at("file_my_ext.mv$")), firstSealed);
    EXPECT_EQ(readAll(at("file_my.ext")), QByteArray("second"));

    ASSERT_TRUE(writeAll(at("report.txt"), "old"));
    ASSERT_EQ(encryptOne(at("report.txt"), kKey).kind, CryptOutcome::Done);
    ASSERT_TRUE(writeAll(at("report.txt"), "newer"));
    EXPECT_EQ(decryptOne(at("report_txt.mv$"), {kKey}).kind, CryptOutcome::TargetExists);
    EXPECT_EQ(readAll(at("report.txt")), QByteArray("newer"));

    ASSERT_TRUE(writeAll(at("a_b.mv$"), "plain, not encrypted"));
    ASSERT_TRUE(writeAll(at("a.b"), "ab"));
    EXPECT_EQ(encryptOne(at("a.b"), kKey).kind, CryptOutcome::TargetExists);
    EXPECT_EQ(readAll(at("a_b.mv$")), QByteArray("plain, not encrypted"));

    CryptOptions consent;
    consent.replaceExisting = true;
    EXPECT_EQ(decryptOne(at("report_txt.mv$"), {kKey}, {}, consent).kind, CryptOutcome::Done);
    EXPECT_EQ(readAll(at("report.txt")), QByteArray("old"));
}

// A name that is already at the file system's limit cannot take the encrypted suffix: found
// before the file is encrypted, and the file stays as it is.
TEST_F(FileCryptTest, NameTooLongForTheEncryptedSuffixFailsBeforeAnyWork)
{
    const QString plain =
        dir.path() + QLatin1Char('/') + QString(251, QLatin1Char('a')) + QStringLiteral(".txt");
    ASSERT_TRUE(writeAll(plain, "data"));
    bool read = false;
    const CryptOutcome out = encryptOne(plain, kKey, [&](quint64, quint64) { return read = true; });
    EXPECT_EQ(out.kind, CryptOutcome::Failed);
    EXPECT_EQ(out.status.reason, "check files: the new name would be too long for this file system");
    EXPECT_FALSE(read);
    EXPECT_EQ(readAll(plain), QByteArray("data"));
}

// On a read-only file system an encrypted file is still just "already encrypted": the
// signature is read before anything would be created beside it.
TEST_F(FileCryptTest, AlreadyEncryptedFileOnAReadOnlyFileSystemIsPassedOverNotFailed)
{
    ASSERT_TRUE(writeAll(at("a.txt"), "data"));
    const CryptOutcome sealed = encryptOne(at("a.txt"), kKey);
    ASSERT_EQ(sealed.kind, CryptOutcome::Done);
    CryptOptions readOnly;
    readOnly.fault = [](mv::fileutil::ReplaceStep step) {
        return step == mv::fileutil::ReplaceStep::CreateTemp ? EROFS : 0;
    };
    const CryptOutcome again = encryptOne(sealed.target, kKey, {}, readOnly);
    EXPECT_EQ(again.kind, CryptOutcome::PassedOver);
    EXPECT_EQ(mv::fileutil::reasonText(again.status), QStringLiteral("already encrypted"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("a_txt.mv$")});
}

// A source that grows or shrinks while it is read fails, and no short encrypted file is
// committed; the source keeps what was written to it.
TEST_F(FileCryptTest, SourceThatChangesSizeWhileBeingReadFails)
{
    const QString plain = at("log.txt");
    for (const bool grow : {true, false}) {
        ASSERT_TRUE(writeAll(plain, patterned(3 << 20)));
        bool touched = false;
        const CryptOutcome out = encryptOne(plain, kKey, [&](quint64, quint64) {
            if (!touched) {
                touched = true;
                ::truncate(QFile::encodeName(plain).constData(), grow ? (4 << 20) : 1000);
            }
            return true;
        });
        EXPECT_EQ(out.kind, CryptOutcome::Failed);
        EXPECT_EQ(out.status.reason, "the file changed while being read");
        EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("log.txt")});
        EXPECT_EQ(readAll(plain).size(), grow ? (4 << 20) : 1000);
    }
}

} // namespace
