// The replacement driven by the real engine: encrypt a file into its encrypted name and
// decrypt it back, as the batch will.
#include "crypto/EncryptedNames.h"
#include "crypto/Signature.h"
#include "fileutil/SafeReplace.h"

#include "fileutil/TestFiles.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace mv;
using namespace mvtest;

namespace {

using EngineCall = int32_t (*)(const char*, const char*, const char*);

// Maps the engine's 1 / 0 / -1 onto the producer's outcome.
Producer engine(EngineCall call, const char* source, const char* key)
{
    return [=](const QString& temp) {
        const int32_t rc = call(source, QFile::encodeName(temp).constData(), key);
        const QString why = QString::fromUtf8(mv_engine_last_error());
        if (rc == 1)
            return ProduceResult::written(rc);
        return rc == 0 ? ProduceResult::declined(rc, why) : ProduceResult::failed(rc, why);
    };
}

TEST(EngineReplace, EncryptsUnderTheEncryptedNameAndDecryptsBack)
{
    QTemporaryDir dir;
    const QString plain = dir.path() + QStringLiteral("/photo.jpg");
    const QString sealed = EncryptedName(plain);
    const QByteArray original = patterned(300000);
    ASSERT_TRUE(writeAll(plain, original));
    const QByteArray plainName = QFile::encodeName(plain);
    const QByteArray sealedName = QFile::encodeName(sealed);

    const ReplaceOutcome encrypted =
        replaceFile(plain, sealed, engine(dbac, plainName.constData(), "correct horse"));
    ASSERT_TRUE(encrypted.replaced()) << encrypted.error.message().toStdString();
    EXPECT_TRUE(BeginsWithSignature(sealed));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo_jpg.mv$")});

    const ReplaceOutcome wrongKey =
        replaceFile(sealed, plain, engine(eabb, sealedName.constData(), "wrong"));
    EXPECT_EQ(wrongKey.kind, ReplaceOutcome::Declined);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo_jpg.mv$")});

    ASSERT_EQ(PlainName(sealed), plain);
    const ReplaceOutcome decrypted =
        replaceFile(sealed, plain, engine(eabb, sealedName.constData(), "correct horse"));
    ASSERT_TRUE(decrypted.replaced()) << decrypted.error.message().toStdString();
    EXPECT_EQ(readAll(plain), original);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
}

} // namespace
