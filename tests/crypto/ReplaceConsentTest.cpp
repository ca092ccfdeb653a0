// The one question before another file under a target name is replaced, as the batch and the
// list jobs ask it, over real files: only what the answers allow is replaced.
#include "crypto/ReplaceConsent.h"
#include "crypto/EncryptedNames.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace mv::crypto;
using namespace mvtest;

namespace {

const QByteArray kKey = "consent key";

// Answers each question in turn and notes what it was asked; the end of the script cancels.
class ScriptedAnswers : public ReplaceAsker {
public:
    explicit ScriptedAnswers(QList<ReplaceAnswer> answers) : answers_(std::move(answers)) {}
    ReplaceAnswer askReplace(const QString& file, const QString& target) override
    {
        asked << file + QStringLiteral(" -> ") + target;
        return answers_.isEmpty() ? ReplaceAnswer::Cancel : answers_.takeFirst();
    }
    QStringList asked;

private:
    QList<ReplaceAnswer> answers_;
};

using Answer = ReplaceAsker::ReplaceAnswer;

// Skip leaves the other file and asks again at the next; Replace replaces this one only;
// Replace All replaces it and every later one without asking; Cancel leaves the other file
// whole and says the run ends. A file with no other under its target name asks nothing.
TEST(ReplaceConsentTest, OnlyTheFilesTheAnswersAllowAreReplaced)
{
    QTemporaryDir dir;
    const auto at = [&](const QString& name) { return dir.filePath(name); };
    const QStringList names = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"};
    for (int i = 0; i < int(names.size()); ++i) {
        ASSERT_TRUE(writeAll(at(names[i]), patterned(3000, i + 1)));
        if (names[i] != "e.txt") { // e.txt has its target name to itself
            ASSERT_TRUE(writeAll(EncryptedName(at(names[i])), "someone else's " + names[i].toUtf8()));
        }
    }
    ScriptedAnswers user({Answer::Skip, Answer::Replace, Answer::ReplaceAll});
    ReplaceConsent consent;
    QList<CryptOutcome::Kind> kinds;
    for (const QString& name : names.first(5)) {
        const QString path = at(name);
        kinds << withConsent(path, {}, consent, user, [&](const CryptOptions& options) {
                     return encryptOne(path, kKey, {}, options);
                 }).kind;
    }
    EXPECT_EQ(kinds,
              (QList<CryptOutcome::Kind> {CryptOutcome::TargetExists, CryptOutcome::Done, CryptOutcome::Done,
                                          CryptOutcome::Done, CryptOutcome::Done}));
    QStringList expectedAsked;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        expectedAsked << at(name) + " -> " + EncryptedName(at(name));
    EXPECT_EQ(user.asked, expectedAsked);
    EXPECT_TRUE(consent.replaceAll);
    EXPECT_FALSE(consent.cancelled);
    EXPECT_EQ(readAll(at("a.txt")), patterned(3000, 1));
    EXPECT_EQ(readAll(EncryptedName(at("a.txt"))), "someone else's a.txt");
    for (int i = 1; i < 5; ++i) {
        const std::string name = names[i].toStdString();
        EXPECT_FALSE(QFile::exists(at(names[i]))) << name;
        ASSERT_EQ(decryptOne(EncryptedName(at(names[i])), {kKey}).kind, CryptOutcome::Done) << name;
        EXPECT_EQ(readAll(at(names[i])), patterned(3000, i + 1)) << name;
    }

    // A new run asks afresh; Cancel keeps both files as they were.
    ScriptedAnswers cancelling({Answer::Cancel});
    ReplaceConsent fresh;
    const QString f = at("f.txt");
    const CryptOutcome out = withConsent(f, {}, fresh, cancelling, [&](const CryptOptions& options) {
        return encryptOne(f, kKey, {}, options);
    });
    EXPECT_EQ(out.kind, CryptOutcome::TargetExists);
    EXPECT_EQ(cancelling.asked.size(), 1);
    EXPECT_TRUE(fresh.cancelled);
    EXPECT_FALSE(fresh.replaceAll);
    EXPECT_EQ(readAll(f), patterned(3000, 6));
    EXPECT_EQ(readAll(EncryptedName(f)), "someone else's f.txt");
}

} // namespace
