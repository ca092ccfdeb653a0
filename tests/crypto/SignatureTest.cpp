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

} // namespace
