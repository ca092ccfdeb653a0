// Decrypting into memory for viewing: the plain bytes come back whole with the key that fits,
// nothing is written beside the file, and nothing but a whole, authentic file is handed out.
#include "crypto/MemoryDecrypt.h"
#include "crypto/FileCrypt.h"

#include "fileutil/TestFiles.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace mv::crypto;
using namespace mvtest;

namespace {

std::vector<SecretText> keys(std::initializer_list<const char*> texts)
{
    std::vector<SecretText> out;
    for (const char* t : texts)
        out.push_back(SecretText::fromText(QString::fromUtf8(t)));
    return out;
}

TEST(MemoryDecrypt, OpensWithTheKeyThatFitsAndWritesNoFile)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("photo.png"));
    // Over one 1 MiB block, so the block loop and the final chunk are both met.
    const QByteArray original = patterned(1500000);
    ASSERT_TRUE(writeAll(plain, original));
    const std::uint32_t fileCrc = std::uint32_t(eaac(QFile::encodeName(plain).constData(), 0));
    const CryptOutcome sealed = encryptOne(plain, "second key");
    ASSERT_EQ(sealed.kind, CryptOutcome::Done);
    const QStringList before = entries(dir.path());

    MemoryDecrypt opened = decryptToMemory(sealed.target, keys({"first key", "second key"}), qint64(1) << 30);
    ASSERT_EQ(opened.kind, MemoryDecrypt::Opened) << opened.status.reason;
    EXPECT_EQ(opened.keyIndex, 1);
    EXPECT_EQ(opened.bytes.view(), QByteArrayView(original));
    // The information line's checksum of the bytes equals the file checksum of the same bytes.
    EXPECT_EQ(checksumOf(opened.bytes.view()), fileCrc);
    EXPECT_EQ(entries(dir.path()), before);

    EXPECT_EQ(decryptToMemory(sealed.target, keys({"wrong"}), qint64(1) << 30).kind, MemoryDecrypt::NoneFits);
    EXPECT_EQ(decryptToMemory(sealed.target, keys({}), qint64(1) << 30).kind, MemoryDecrypt::NoneFits);
    const MemoryDecrypt tooLarge = decryptToMemory(sealed.target, keys({"second key"}), 1000);
    EXPECT_EQ(tooLarge.kind, MemoryDecrypt::NotOpenable);
    EXPECT_EQ(tooLarge.bytes.size(), 0u);
}

TEST(MemoryDecrypt, DamagedShortRoomAndPlainFilesHandOutNoPlainText)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("a.bmp"));
    const QByteArray original = patterned(1200000, 3);
    ASSERT_TRUE(writeAll(plain, original));
    const CryptOutcome sealed = encryptOne(plain, "key");
    ASSERT_EQ(sealed.kind, CryptOutcome::Done);
    const QByteArray path = QFile::encodeName(sealed.target);

    // Room for less than the plain text: refused, and what was opened so far is zeroed.
    std::vector<std::uint8_t> room(original.size() - 1, 0xAA);
    std::size_t length = 99;
    EXPECT_EQ(
        mv_decrypt_to_memory(path.constData(), "key", 3, room.data(), room.size(), &length, nullptr, nullptr),
        -1);
    EXPECT_EQ(length, 0u);
    EXPECT_STREQ(mv_engine_last_error(), "the decrypted file is larger than the room given for it");
    EXPECT_TRUE(std::all_of(room.begin(), room.begin() + (1 << 20), [](std::uint8_t b) { return b == 0; }));

    // A byte changed in the second block: the first block was opened, then must not survive.
    QByteArray damaged = readAll(sealed.target);
    damaged[damaged.size() - 100] = char(damaged[damaged.size() - 100] ^ 1);
    ASSERT_TRUE(writeAll(sealed.target, damaged));
    std::vector<std::uint8_t> whole(damaged.size(), 0xAA);
    EXPECT_EQ(mv_decrypt_to_memory(path.constData(), "key", 3, whole.data(), whole.size(), &length, nullptr,
                                   nullptr),
              -1);
    EXPECT_STREQ(mv_engine_last_error(), "the file is damaged or truncated");
    EXPECT_TRUE(std::none_of(whole.begin(), whole.end(), [](std::uint8_t b) { return b != 0 && b != 0xAA; }));
    const MemoryDecrypt viaCrypto = decryptToMemory(sealed.target, keys({"key"}), qint64(1) << 30);
    EXPECT_EQ(viaCrypto.kind, MemoryDecrypt::NotOpenable);
    EXPECT_EQ(viaCrypto.status.reason, "the file is damaged or truncated");

    ASSERT_TRUE(writeAll(plain, original));
    EXPECT_EQ(decryptToMemory(plain, keys({"key"}), qint64(1) << 30).status.reason, "not an encrypted file");
}

} // namespace
