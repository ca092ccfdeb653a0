// The names an encrypted file takes; one file encrypted and decrypted through the real engine,
// as the batch, the list jobs and mvcrypt do it; the signature that tells an encrypted file; the one question
// before another file under a target name is replaced, as the batch and the list jobs ask it; and decrypting
// into memory for viewing: the plain bytes come back whole with the key that fits, nothing is
// written beside the file, and nothing but a whole, authentic file is handed out.
#include "crypto/FileCrypt.h"

#include "EncDecTestUser.h"
#include "crypto/EncryptedNames.h"
#include "crypto/MemoryDecrypt.h"
#include "crypto/ReplaceConsent.h"
#include "crypto/Signature.h"
#include "desktop/ThumbnailTraces.h"
#include "fileutil/TestFiles.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>

#include <sys/stat.h>

using namespace mv::crypto;
using namespace mvtest;

namespace {

const QByteArray kKey = "correct horse";

// Only the last dot of the file name changes; a name without one gets .mv%. PlainName undoes
// it, and the result is known as encrypted by its name. The suffix counts at the end of the
// file name only, in any case; a name that is nothing but the suffix keeps its name rather than
// become the folder.
TEST(EncryptedNames, OnlyTheLastDotOfTheFileNameChangesAndPlainNameUndoesIt)
{
    struct Case {
        const char* plain;
        const char* name;
        bool encrypted;
        bool made; // EncryptedName(plain) gives the name
    };
    const Case cases[] = {{"photo.bmp", "photo_bmp.mv$", true, true},
                          {"/x.y/readme", "/x.y/readme.mv%", true, true},
                          {"x.", "x_.mv$", true, true},
                          {"/home/me/Fotos/Strand.JPG", "/home/me/Fotos/Strand_JPG.mv$", true, true},
                          {"file_my.ext", "file_my_ext.mv$", true, true},
                          {"/my_dir/notes", "/my_dir/notes.mv%", true, true},
                          {".hidden", "_hidden.mv$", true, true},
                          {"/a/b.c.d/e.f", "/a/b.c.d/e_f.mv$", true, true},
                          {"A.B", "A_B.MV$", true, false},
                          {"/my_dir/readme", "/my_dir/readme.mv$", true, false},
                          {"a.txt", "a.txt", false, false},
                          {"/d/photo.mv$.bak", "/d/photo.mv$.bak", false, false},
                          {"/d.mv$/photo", "/d.mv$/photo", false, false},
                          {"/d/.mv$", "/d/.mv$", true, false},
                          {"mv$", "mv$", false, false},
                          {"", "", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PlainName(QString::fromUtf8(c.name)), QString::fromUtf8(c.plain)) << c.name;
        EXPECT_EQ(HasEncryptedName(QString::fromUtf8(c.name)), c.encrypted) << c.name;
        if (c.made) {
            EXPECT_EQ(EncryptedName(QString::fromUtf8(c.plain)), QString::fromUtf8(c.name)) << c.plain;
        }
    }
}

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
    // The desktop's small copies of the plain picture go with it; a neighbour's stay.
    const QStringList thumbnails = plantThumbnails(plain);
    const QStringList neighbours = plantThumbnails(at("neighbour.jpg"));

    const CryptOutcome sealed = encryptOne(plain, kKey);
    ASSERT_EQ(sealed.kind, CryptOutcome::Done) << sealed.status.reason;
    EXPECT_TRUE(BeginsWithSignature(sealed.target));
    EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("photo_jpg.mv$")});
    EXPECT_EQ(stillThere(thumbnails), QStringList());
    EXPECT_EQ(stillThere(neighbours), neighbours);
    EXPECT_TRUE(sealed.tracesLeft.isEmpty());
    // On a read-only file system an encrypted file is still just "already encrypted": the
    // signature is read before anything would be created beside it.
    CryptOptions readOnly;
    readOnly.fault = [](mv::fileutil::ReplaceStep step) {
        return step == mv::fileutil::ReplaceStep::CreateTemp ? EROFS : 0;
    };
    const CryptOutcome again = encryptOne(sealed.target, kKey, {}, readOnly);
    EXPECT_EQ(again.kind, CryptOutcome::PassedOver);
    EXPECT_EQ(mv::fileutil::reasonText(again.status), QStringLiteral("already encrypted"));

    const CryptOutcome wrong = decryptOne(sealed.target, {"wrong"});
    EXPECT_EQ(wrong.kind, CryptOutcome::NoKeyFits);
    EXPECT_EQ(wrong.status.reason, "the key does not open this file");
    const CryptOutcome gone = decryptOne(at("gone_jpg.mv$"), {kKey});
    EXPECT_EQ(gone.status.message(), "decrypt: no such file");
    EXPECT_EQ(gone.status.error, ENOENT);

    // Decrypting leaves thumbnails be: the plain file is there again.
    (void)plantThumbnails(plain);
    const CryptOutcome opened = decryptOne(sealed.target, {"wrong", kKey});
    ASSERT_EQ(opened.kind, CryptOutcome::Done) << opened.status.reason;
    EXPECT_EQ(stillThere(thumbnails), thumbnails);
    EXPECT_EQ(opened.keyIndex, 1);
    EXPECT_EQ(readAll(plain), original);
    EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("photo.jpg")});
}

// A name that is already at the file system's limit cannot take the encrypted suffix: found
// before the file is encrypted, and the file stays as it is.
TEST_F(FileCryptTest, NameTooLongForTheEncryptedSuffixFailsBeforeAnyWork)
{
    const QString plain = dir.filePath(QString(251, u'a') + QStringLiteral(".txt"));
    ASSERT_TRUE(writeAll(plain, "data"));
    const QStringList thumbnails = plantThumbnails(plain);
    bool read = false;
    const CryptOutcome out = encryptOne(plain, kKey, [&](quint64, quint64) { return read = true; });
    EXPECT_EQ(out.kind, CryptOutcome::Failed);
    EXPECT_EQ(out.status.reason, "check files: the new name would be too long for this file system");
    EXPECT_FALSE(read);
    EXPECT_EQ(readAll(plain), QByteArray("data"));
    EXPECT_EQ(stillThere(thumbnails), thumbnails); // still plain, so its thumbnails stay
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

TEST(Signature, OnlyTheExactSignatureAtTheStartCounts)
{
    QTemporaryDir dir;
    const QByteArray signature(MV_SIGNATURE, MV_SIGNATURE_LEN);
    QByteArray changed = signature + "body";
    changed[40] = char(changed[40] ^ 1);
    const std::pair<QByteArray, bool> files[] = {
        {signature, true},           {signature + patterned(1000), true},
        {signature.left(70), false}, {changed, false},
        {" " + signature, false},    {QByteArray(), false}};
    int n = 0;
    for (const auto& [data, ours] : files) {
        const QString path = dir.path() + QStringLiteral("/f%1").arg(n++);
        ASSERT_TRUE(writeAll(path, data));
        EXPECT_EQ(BeginsWithSignature(path), ours) << n;
    }
    const QString fifo = dir.path() + QStringLiteral("/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(BeginsWithSignature(fifo)); // and does not hang waiting for a writer
    EXPECT_FALSE(BeginsWithSignature(dir.path()));
    EXPECT_FALSE(BeginsWithSignature(dir.path() + QStringLiteral("/missing")));
}

using Answer = ReplaceAsker::ReplaceAnswer;

// Skip leaves the other file and asks again at the next; Replace replaces this one only;
// Replace All replaces it and every later one without asking; Cancel leaves the other file
// whole and says the run ends. A file with no other under its target name asks nothing.
TEST(ReplaceConsentTest, OnlyTheFilesTheAnswersAllowAreReplaced)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"}) {
        paths << dir.filePath(name);
        ASSERT_TRUE(writeAll(paths.back(), patterned(3000)));
        if (QByteArray(name) != "e.txt") { // e.txt has its target name to itself
            ASSERT_TRUE(writeAll(EncryptedName(paths.back()), "someone else's"));
        }
    }
    EncDecTestUser user;
    user.replaceAnswers = {Answer::Skip, Answer::Replace, Answer::ReplaceAll, Answer::Cancel};
    const auto encrypt = [&](const QString& path, ReplaceConsent& consent) {
        return withConsent(path, {}, consent, user,
                           [&](const CryptOptions& options) { return encryptOne(path, kKey, {}, options); })
            .kind;
    };
    ReplaceConsent consent;
    QList<CryptOutcome::Kind> kinds;
    for (const QString& path : paths.first(5))
        kinds << encrypt(path, consent);
    // A new run asks afresh.
    ReplaceConsent fresh;
    kinds << encrypt(paths[5], fresh);
    EXPECT_EQ(kinds, (QList<CryptOutcome::Kind> {CryptOutcome::TargetExists, CryptOutcome::Done,
                                                 CryptOutcome::Done, CryptOutcome::Done, CryptOutcome::Done,
                                                 CryptOutcome::TargetExists}));
    QList<QPair<QString, QString>> expectedAsked;
    for (const int i : {0, 1, 2, 5})
        expectedAsked.append({paths[i], EncryptedName(paths[i])});
    EXPECT_EQ(user.replaceAsked, expectedAsked);
    for (const int i : {0, 5}) {
        EXPECT_EQ(readAll(paths[i]), patterned(3000));
        EXPECT_EQ(readAll(EncryptedName(paths[i])), "someone else's");
    }
    for (int i = 1; i < 5; ++i) {
        EXPECT_FALSE(QFile::exists(paths[i]));
        EXPECT_TRUE(BeginsWithSignature(EncryptedName(paths[i])));
    }
}

// Over one 1 MiB block, so the block loop and the final chunk are both met. What was opened of a
// file too large for its room, or damaged past its first block, is zeroed, never handed out.
TEST(MemoryDecrypt, OpensWithTheKeyThatFitsWritesNoFileAndHandsOutNothingButAWholeFile)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("photo.png"));
    const QByteArray original = patterned(1500000);
    ASSERT_TRUE(writeAll(plain, original));
    const std::uint32_t fileCrc = std::uint32_t(eaac(QFile::encodeName(plain).constData(), 0));
    const CryptOutcome sealed = encryptOne(plain, "second key");
    ASSERT_EQ(sealed.kind, CryptOutcome::Done);
    const QStringList before = entries(dir.path());
    const qint64 room = qint64(1) << 30;

    MemoryDecrypt opened = decryptToMemory(sealed.target, {secret("first key"), secret("second key")}, room);
    ASSERT_EQ(opened.kind, MemoryDecrypt::Opened) << opened.status.reason;
    EXPECT_EQ(opened.keyIndex, 1);
    EXPECT_EQ(opened.bytes.view(), QByteArrayView(original));
    // The information line's checksum of the bytes equals the file checksum of the same bytes.
    EXPECT_EQ(checksumOf(opened.bytes.view()), fileCrc);
    EXPECT_EQ(entries(dir.path()), before);
    EXPECT_EQ(decryptToMemory(sealed.target, {secret("wrong")}, room).kind, MemoryDecrypt::NoneFits);
    const MemoryDecrypt tooLarge = decryptToMemory(sealed.target, {secret("second key")}, 1000);
    EXPECT_EQ(tooLarge.kind, MemoryDecrypt::NotOpenable);
    EXPECT_EQ(tooLarge.bytes.size(), 0u);

    const QByteArray path = QFile::encodeName(sealed.target);
    std::size_t length = 99;
    const auto engineDecrypt = [&](std::vector<std::uint8_t>& out) {
        return mv_decrypt_to_memory(path.constData(), "second key", 10, out.data(), out.size(), &length,
                                    nullptr, nullptr);
    };
    // Room for less than the plain text: refused, and what was opened so far is zeroed.
    std::vector<std::uint8_t> tooShort(original.size() - 1, 0xAA);
    EXPECT_EQ(engineDecrypt(tooShort), -1);
    EXPECT_EQ(length, 0u);
    EXPECT_STREQ(mv_engine_last_error(), "the decrypted file is larger than the room given for it");
    EXPECT_TRUE(
        std::all_of(tooShort.begin(), tooShort.begin() + (1 << 20), [](std::uint8_t b) { return b == 0; }));

    // A byte changed in the second block: the first block was opened, then must not survive.
    QByteArray damaged = readAll(sealed.target);
    damaged[damaged.size() - 100] = char(damaged[damaged.size() - 100] ^ 1);
    ASSERT_TRUE(writeAll(sealed.target, damaged));
    std::vector<std::uint8_t> whole(damaged.size(), 0xAA);
    EXPECT_EQ(engineDecrypt(whole), -1);
    EXPECT_STREQ(mv_engine_last_error(), "the file is damaged or truncated");
    EXPECT_TRUE(std::none_of(whole.begin(), whole.end(), [](std::uint8_t b) { return b != 0 && b != 0xAA; }));
    const MemoryDecrypt viaCrypto = decryptToMemory(sealed.target, {secret("second key")}, room);
    EXPECT_EQ(viaCrypto.kind, MemoryDecrypt::NotOpenable);
    EXPECT_EQ(viaCrypto.status.reason, "the file is damaged or truncated");

    ASSERT_TRUE(writeAll(plain, original));
    EXPECT_EQ(decryptToMemory(plain, {secret("second key")}, room).status.reason, "not an encrypted file");
}

} // namespace
