// The status window of the list jobs on real files: what it shows, asks and tells.
#include "secured/ui/EncStat.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace mv::secured {
namespace {

using namespace mvtest;
using namespace Qt::StringLiterals;

// A decryption that asks for the key, meets a missing file and then a file it cannot
// decrypt: the key goes to `CurrentKey`, each problem is told once with the file's name,
// and the window shows the file it stopped at.
TEST(EncStatTest, ShowsTheFileInHandAsksForTheKeyAndTellsWhereItStopped)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.txt"_s), gone = dir.filePath(u"gone.txt"_s),
                  bad = dir.filePath(u"bad.txt"_s);
    ASSERT_TRUE(writeAll(a, "letter"));
    ASSERT_EQ(crypto::encryptOne(a, "entry key").kind, crypto::CryptOutcome::Done);
    ASSERT_TRUE(writeAll(crypto::EncryptedName(bad), "not encrypted at all"));

    crypto::KeyState keys;
    EncStat window(false, keys, nullptr);
    EXPECT_EQ(window.findChild<QLabel*>(u"Label1"_s)->text(), u"Currently decrypting..."_s);
    QStringList asked, told;
    window.keyQuestion = [&](const QString& file, crypto::KeyState& k) {
        asked << file;
        return k.append(crypto::SecretText::fromText(u"entry key"_s));
    };
    window.tell = [&](const QString& text) { told << text; };

    const ListJobResult r = window.run([&](ListJobCallbacks& callbacks, const ListJobOptions&) {
        return DecryptFileList(a + u'|' + gone + u'|' + bad, keys, callbacks);
    });
    EXPECT_EQ(r.kind, ListJobResult::Stopped);
    EXPECT_EQ(asked, QStringList {crypto::EncryptedName(a)});
    EXPECT_EQ(readAll(a), "letter");
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].startsWith(u"Unable to open this file...\n"_s + gone + u"\n"_s))
        << told[0].toStdString();
    EXPECT_EQ(told[1], u"An error occured will working with this file...\n"_s + crypto::EncryptedName(bad) +
                           u"\nnot encrypted"_s);
    EXPECT_EQ(window.findChild<QLineEdit*>(u"Stat"_s)->text(), bad);
}

} // namespace
} // namespace mv::secured
