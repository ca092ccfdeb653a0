// The Secured Access List in the settings store and its running entries' records. The list jobs
// on real files with a scripted user: which files are touched, which passed over, where a job
// stops, and that no file is ever lost when a step fails.
#include "secured/ListJobs.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "fileutil/TestFiles.h"
#include "secured/QuickListState.h"
#include "secured/QuickListStore.h"
#include "shell/ConfigFixture.h"
#include "shell/Registry.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace mv::secured {
namespace {

using namespace mvtest;
using namespace Qt::StringLiterals;
using crypto::EncryptedName;
using crypto::SecretText;
using fileutil::ReplaceStep;
using Answer = ListJobCallbacks::ReplaceAnswer;

QString stored(const QString& name)
{
    return shell::GetSetting(u"QuickList"_s, name);
}

void store(const QString& name, const QString& text)
{
    ASSERT_TRUE(shell::SaveSetting(u"QuickList"_s, name, text));
}

QuickItem item(const QString& title, const QString& data = {})
{
    QuickItem i;
    i.Title = title;
    i.Path = u"/opt/"_s + title + u"/run"_s;
    i.Params = u"--"_s + title;
    i.Data = data;
    return i;
}

QStringList titles(const QuickListState& state)
{
    QStringList t;
    for (int n = 1; n <= state.count(); ++n)
        t << state.entry(n).Title;
    return t;
}

class QuickListStoreTest : public shell::test::ConfigFixture {
protected:
    QuickListState state;
};

// The list ends at the first empty "Title" & n whatever lies beyond it; a missing "Params" & n
// is an entry without parameters. Deleting renumbers the entries and moves the end marker down;
// the values behind it stay as they were, and the key of an entry never reaches the store.
TEST_F(QuickListStoreTest, TheListEndsAtTheFirstEmptyTitleAndDeletingMovesThatMarkerDown)
{
    state.LoadQuickList();
    EXPECT_EQ(state.count(), 0) << "an empty section";
    store(u"Title1"_s, u"Editor"_s);
    store(u"Data1"_s, u"/home/me/a.txt|/home/me/b b.txt"_s);
    store(u"Title2"_s, u"Viewer"_s);
    store(u"Params2"_s, u"-r"_s);
    store(u"Title3"_s, QString());
    store(u"Title4"_s, u"Beyond the end"_s);
    state.LoadQuickList();
    ASSERT_EQ(titles(state), (QStringList {u"Editor"_s, u"Viewer"_s}));
    EXPECT_EQ(state.entry(1).Params, QString());
    EXPECT_EQ(state.entry(1).Data, u"/home/me/a.txt|/home/me/b b.txt"_s);
    EXPECT_EQ(state.entry(2).Params, u"-r"_s);

    for (const char* title : {"Three", "Four"}) {
        QuickItem i = item(QString::fromLatin1(title), u"/f/"_s + QString::fromLatin1(title));
        i.Key = SecretText::fromText(u"key-never-stored"_s);
        state.appendEntry(std::move(i));
    }
    state.SaveQuickList();
    ASSERT_TRUE(state.store().flush().ok);
    ASSERT_TRUE(state.deleteEntry(2));
    state.SaveQuickList();
    ASSERT_TRUE(state.store().flush().ok);

    EXPECT_EQ(stored(u"Title2"_s), u"Three"_s);
    EXPECT_EQ(stored(u"Data2"_s), u"/f/Three"_s);
    EXPECT_EQ(stored(u"Title4"_s), QString()) << "the end marker";
    EXPECT_EQ(stored(u"Path4"_s), u"/opt/Four/run"_s) << "left as it was";
    EXPECT_FALSE(readAll(userStore()).contains("key-never-stored"));
    QuickListState reloaded;
    reloaded.LoadQuickList();
    EXPECT_EQ(titles(reloaded), (QStringList {u"Editor"_s, u"Three"_s, u"Four"_s}));
    EXPECT_EQ(reloaded.entry(3).Path, u"/opt/Four/run"_s);
}

// Three programs watched at once end in another order than they started; each record keeps
// its own files and key, which "Clear Passwords" never empties; a running entry cannot be
// deleted, and deleting an earlier one keeps the records pointing at their entries.
TEST(QuickListStateTest, RunningEntriesKeepTheirFilesAndKeysUntilTheirOwnEnd)
{
    QuickListState state;
    for (const QString& t : {u"one"_s, u"two"_s, u"three"_s, u"four"_s})
        state.appendEntry(item(t, u"/home/me/"_s + t));
    crypto::KeyState keys;
    keys.append(SecretText::fromText(u"key two"_s));

    const quint64 two = state.addPending(2, SecretText::fromText(u"key two"_s));
    const quint64 three = state.addPending(3, SecretText::fromText(u"key three"_s));
    const quint64 four = state.addPending(4, SecretText::fromText(u"key four"_s));
    EXPECT_TRUE(state.entry(2).Running && state.entry(3).Running && state.entry(4).Running);
    EXPECT_FALSE(state.deleteEntry(3)) << "its program runs";

    keys.clearKeys();
    EXPECT_TRUE(state.PendingApps()[0].Key == SecretText::fromText(u"key two"_s));

    std::optional<PendingApp> ended = state.takePending(three);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->Entry, 3);
    EXPECT_EQ(ended->Data, u"/home/me/three"_s);
    EXPECT_TRUE(ended->Key == SecretText::fromText(u"key three"_s));
    EXPECT_FALSE(state.entry(3).Running);
    EXPECT_FALSE(state.takePending(three)) << "ended once only";

    ASSERT_TRUE(state.deleteEntry(1));
    ASSERT_EQ(state.PendingCount(), 2);
    EXPECT_EQ(state.PendingApps()[0].Entry, 1);
    EXPECT_EQ(state.PendingApps()[1].Entry, 3);
    EXPECT_EQ(state.entry(state.PendingApps()[1].Entry).Title, u"four"_s);

    ASSERT_TRUE(state.takePending(four));
    ASSERT_TRUE(state.takePending(two));
    EXPECT_EQ(state.PendingCount(), 0);
    EXPECT_FALSE(state.entry(1).Running || state.entry(3).Running);
}

const SecretText kKey = SecretText::fromText(u"entry key"_s);

// Answers from a script and remembers what it was asked.
class ScriptedUser : public ListJobCallbacks {
public:
    QStringList keyAnswers; // the end of the list cancels
    QStringList keyAsked;
    QList<Answer> replaceAnswers; // the end of the list cancels
    QStringList replaceAsked;
    QStringList inHand;
    QStringList unopened;

    bool askKey(const QString& file, crypto::KeyState& keys) override
    {
        keyAsked << file;
        return !keyAnswers.isEmpty() && keys.append(SecretText::fromText(keyAnswers.takeFirst()));
    }
    Answer askReplace(const QString&, const QString& target) override
    {
        replaceAsked << target;
        return replaceAnswers.isEmpty() ? Answer::Cancel : replaceAnswers.takeFirst();
    }
    void fileInHand(const QString& file) override { inHand << file; }
    void unableToOpen(const QString& file, const QString&) override { unopened << file; }
};

class ListJobsTest : public ::testing::Test {
protected:
    QString at(const QString& name) const { return dir.filePath(name); }
    // Plain files with contents of their own; returns the job's list.
    QString plainFiles(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names) {
            EXPECT_TRUE(writeAll(at(name), contentOf(name)));
            paths << at(name);
        }
        return paths.join(u'|');
    }
    QByteArray contentOf(const QString& name) const { return patterned(3000, int(qHash(name) % 200)); }
    void encryptAhead(const QString& name, const SecretText& key = kKey)
    {
        const auto out = crypto::encryptOne(at(name), QByteArray(key.data(), qsizetype(key.size())));
        ASSERT_EQ(out.kind, crypto::CryptOutcome::Done);
    }
    // The file's data is whole: plain under its name, or encrypted under its encrypted name
    // and opening with the entry key to the same bytes.
    bool whole(const QString& name) const
    {
        if (exists(at(name)))
            return readAll(at(name)) == contentOf(name);
        const auto opened = crypto::decryptToMemory(EncryptedName(at(name)), {kKey}, 1 << 20);
        return opened.kind == crypto::MemoryDecrypt::Opened && opened.bytes.view() == contentOf(name);
    }
    bool encrypted(const QString& name) const { return !exists(at(name)) && whole(name); }

    QTemporaryDir dir;
    crypto::KeyState keys;
    ScriptedUser user;
};

// Files not there are passed over, and so is one that is encrypted already; another file
// under a target name is replaced only with consent. A trailing "|" adds no file.
TEST_F(ListJobsTest, EncryptionPassesOverWhatNeedsNoWorkAndAsksBeforeReplacing)
{
    const QString list =
        plainFiles({u"a.txt"_s, u"b.txt"_s, u"d.txt"_s}) + u"|"_s + at(u"gone.txt"_s) + u"|"_s;
    encryptAhead(u"b.txt"_s);
    ASSERT_TRUE(
        QFile::rename(EncryptedName(at(u"b.txt"_s)), at(u"b.txt"_s))); // encrypted, under the plain name
    const QByteArray bBefore = readAll(at(u"b.txt"_s));
    ASSERT_TRUE(writeAll(EncryptedName(at(u"d.txt"_s)), "someone else's"));
    user.replaceAnswers = {Answer::Skip};

    ListJobResult r = EncryptFileList(list, kKey, user);
    EXPECT_EQ(r.kind, ListJobResult::Finished);
    EXPECT_EQ(user.inHand, list.split(u'|', Qt::SkipEmptyParts));
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(r.passedOver, 2);
    EXPECT_TRUE(encrypted(u"a.txt"_s));
    EXPECT_EQ(readAll(at(u"b.txt"_s)), bBefore);
    EXPECT_EQ(user.replaceAsked, QStringList {EncryptedName(at(u"d.txt"_s))});
    EXPECT_EQ(r.skipped, QStringList {at(u"d.txt"_s)});
    EXPECT_TRUE(whole(u"d.txt"_s));
    EXPECT_EQ(readAll(EncryptedName(at(u"d.txt"_s))), "someone else's");

    user.replaceAnswers = {Answer::Replace};
    r = EncryptFileList(list, kKey, user);
    EXPECT_EQ(r.done, 1);
    EXPECT_TRUE(encrypted(u"d.txt"_s));
}

// A step that fails stops the job at that file and names it; the files before it are done,
// the file itself and those after it are whole and untouched. Both directions.
TEST_F(ListJobsTest, AFailedStepStopsTheJobAtThatFileAndLosesNothing)
{
    const QStringList names {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s};
    for (const ReplaceStep step :
         {ReplaceStep::CreateTemp, ReplaceStep::Produce, ReplaceStep::CheckSource,
          ReplaceStep::CopyAttributes, ReplaceStep::PutInPlace, ReplaceStep::WipeSource}) {
        SCOPED_TRACE(int(step));
        const QString list = plainFiles(names);
        ListJobOptions options;
        options.fault = [&](ReplaceStep s) {
            return s == step && user.inHand.constLast().endsWith(u"/2.txt"_s) ? EIO : 0;
        };

        ListJobResult r = EncryptFileList(list, kKey, user, options);
        EXPECT_EQ(r.kind, ListJobResult::Stopped);
        EXPECT_EQ(r.file, at(u"2.txt"_s));
        EXPECT_FALSE(r.reason.isEmpty());
        EXPECT_TRUE(encrypted(u"1.txt"_s));
        EXPECT_TRUE(whole(u"2.txt"_s));
        EXPECT_EQ(readAll(at(u"3.txt"_s)), contentOf(u"3.txt"_s));

        // The job is run again without the fault (a wipe that failed left the plain file
        // beside its complete encrypted copy: replacing that copy needs consent).
        user.replaceAnswers = {Answer::Replace};
        ASSERT_EQ(EncryptFileList(list, kKey, user).kind, ListJobResult::Finished);
        ASSERT_TRUE(encrypted(u"2.txt"_s) && encrypted(u"3.txt"_s));

        keys.append(kKey);
        r = DecryptFileList(list, keys, user, options);
        EXPECT_EQ(r.kind, ListJobResult::Stopped);
        EXPECT_EQ(r.file, EncryptedName(at(u"2.txt"_s)));
        EXPECT_EQ(readAll(at(u"1.txt"_s)), contentOf(u"1.txt"_s));
        EXPECT_TRUE(exists(EncryptedName(at(u"2.txt"_s))) && whole(u"2.txt"_s));
        EXPECT_TRUE(encrypted(u"3.txt"_s));
        for (const QString& name : names) {
            QFile::remove(at(name));
            QFile::remove(EncryptedName(at(name)));
        }
        EXPECT_EQ(entries(dir.path()), QStringList()) << "nothing left behind";
    }
}

// With no key, or none that fits, the user is asked before anything is touched; a cancelled
// question ends the job with KeyCancelled and changes nothing. An earlier start may have left a
// file decrypted: it is passed over and the files after it are decrypted, never left locked
// while the program starts. A missing file is told and passed over; a file under the encrypted
// name that is not encrypted is no copy of the listed one, and the job stops there, naming it.
TEST_F(ListJobsTest, DecryptionAsksTheKeyWhenNoneFitsAndGoesOnPastAnAlreadyDecryptedFile)
{
    const QString list = plainFiles({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}) + u"|"_s + at(u"gone.txt"_s) +
                         u"|"_s + at(u"d.txt"_s);
    encryptAhead(u"a.txt"_s);
    encryptAhead(u"c.txt"_s);
    ASSERT_TRUE(writeAll(EncryptedName(at(u"d.txt"_s)), "not encrypted at all"));

    ListJobResult r = DecryptFileList(list, keys, user);
    EXPECT_EQ(r.kind, ListJobResult::KeyCancelled);
    EXPECT_TRUE(keys.KeyCancelled);
    EXPECT_EQ(user.keyAsked, QStringList {EncryptedName(at(u"a.txt"_s))});
    EXPECT_TRUE(encrypted(u"a.txt"_s) && encrypted(u"c.txt"_s));

    keys.append(SecretText::fromText(u"some other key"_s));
    user.keyAnswers = {u"entry key"_s};
    r = DecryptFileList(list, keys, user);
    EXPECT_EQ(r.kind, ListJobResult::Stopped);
    EXPECT_EQ(r.file, EncryptedName(at(u"d.txt"_s)));
    EXPECT_EQ(r.reason, u"not encrypted"_s);
    EXPECT_EQ(r.done, 2);
    EXPECT_EQ(r.passedOver, 1);
    EXPECT_EQ(user.keyAsked.size(), 2) << "asked once more, for the first file only";
    EXPECT_FALSE(keys.KeyCancelled);
    EXPECT_EQ(user.unopened, QStringList {at(u"gone.txt"_s)});
    EXPECT_TRUE(r.key == kKey);
    for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s})
        EXPECT_EQ(readAll(at(name)), contentOf(name));
}

} // namespace
} // namespace mv::secured
