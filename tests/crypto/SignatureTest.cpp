#include "crypto/Signature.h"

#include "fileutil/TestFiles.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

using namespace mv::crypto;
using namespace mvtest;

namespace {

TEST(Signature, OnlyTheExactSignatureAtTheStartCounts)
{
    QTemporaryDir dir;
    const QByteArray signature(MV_SIGNATURE, MV_SIGNATURE_LEN);
    const auto file = [&](const char* name, const QByteArray& data) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
        EXPECT_TRUE(writeAll(path, data));
        return path;
    };
    QByteArray changed = signature + "body";
    changed[40] = char(changed[40] ^ 1);
    const QString fifo = dir.path() + QStringLiteral("/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    EXPECT_TRUE(BeginsWithSignature(file("exact", signature)));
    EXPECT_TRUE(BeginsWithSignature(file("longer", signature + patterned(1000))));
    EXPECT_FALSE(BeginsWithSignature(file("short", signature.left(70))));
    EXPECT_FALSE(BeginsWithSignature(file("changed", changed)));
    EXPECT_FALSE(BeginsWithSignature(file("late", " " + signature)));
    EXPECT_FALSE(BeginsWithSignature(file("empty", {})));
    EXPECT_FALSE(BeginsWithSignature(dir.path()));
    EXPECT_FALSE(BeginsWithSignature(fifo));  // and does not hang waiting for a writer
    EXPECT_FALSE(BeginsWithSignature(dir.path() + QStringLiteral("/missing")));
}

} // namespace
