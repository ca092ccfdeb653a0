// Encryption and decryption runs over real folders, driven by a scripted user.
#include "EncDecTestUser.h"

#include "crypto/EncDecBatch.h"
#include "crypto/EncDecTexts.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "fileutil/TestFiles.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <climits>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace mv::crypto;
using namespace mvtest;
using namespace Qt::StringLiterals;
using Answer = EncDecCallbacks::ReplaceAnswer;

namespace {

const char* const kKey = "Secret1";

class EncDecBatchTest : public ::testing::Test {
protected:
    QString at(const char* relative) const { return dir.path() + '/'_L1 + QString::fromUtf8(relative); }
    void put(const char* relative, const QByteArray& data)
    {
        QDir().mkpath(QFileInfo(at(relative)).path());
        ASSERT_TRUE(writeAll(at(relative), data));
    }
    EncDecJob job(bool encrypt, const char* folder, bool subfolders = false)
    {
        EncDecJob j {encrypt, secret(kKey), &keys, {}, 0};
        j.scope.folder = at(folder);
        j.scope.spec = u"*.*"_s;
        j.scope.includeSubfolders = subfolders;
        return j;
    }
    EncDecResult run(const EncDecJob& j) { return EncDecBatch(j, user).run(); }

    QTemporaryDir dir;
    KeyState keys;
    EncDecTestUser user;
};

} // namespace

// Only the selected names are touched; another file under a selected file's target name is left
// as it is when the user skips it, and named with the reason. (Replacing it with consent: the
// replace question's tests.)
TEST_F(EncDecBatchTest, SelectedFilesOnlyTouchesOnlyTheSelectedNames)
{
    for (const char* name : {"w/a.txt", "w/b.txt", "w/c.txt", "w/sub/d.txt"})
        put(name, patterned(700, name[2]));
    put("w/c_txt.mv$", "someone else's file");
    EncDecJob j = job(true, "w", true);
    j.scope.selectedOnly = true;
    j.scope.selected = {u"a.txt"_s, u"c.txt"_s, u"gone.txt"_s};

    user.replaceAnswers = {Answer::Skip};
    const EncDecResult r = run(j);
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(user.started, (QStringList {at("w/a.txt"), at("w/c.txt")}));
    EXPECT_EQ(user.replaceAsked, (QList<QPair<QString, QString>> {{at("w/c.txt"), at("w/c_txt.mv$")}}));
    ASSERT_EQ(r.notes.size(), 2);
    EXPECT_EQ(r.notes[0].path, at("w/gone.txt"));
    EXPECT_EQ(r.notes[1].path, at("w/c.txt"));
    EXPECT_EQ(r.notes[1].reason, u"c_txt.mv$ exists; it is left as it is"_s);
    EXPECT_EQ(entries(at("w")),
              (QStringList {u"a_txt.mv$"_s, u"b.txt"_s, u"c.txt"_s, u"c_txt.mv$"_s, u"sub"_s}));
    EXPECT_EQ(readAll(at("w/c_txt.mv$")), "someone else's file");
    EXPECT_EQ(readAll(at("w/b.txt")), patterned(700, 'b'));
    EXPECT_EQ(readAll(at("w/sub/d.txt")), patterned(700, 's'));
}

// Each folder's files before its sub-folders, depth first, in the file list's natural order;
// nothing beside or above the start folder is touched and links to folders are not followed.
// Everything decrypts back byte for byte, on a worker thread, with no key question.
TEST_F(EncDecBatchTest, TreeIsWalkedDepthFirstFilesBeforeFoldersAndEndsAtTheStartFolder)
{
    const char* const inTree[] = {"P/A/a2.txt", "P/A/a10.txt", "P/A/B/b.txt", "P/A/B/D/d.txt", "P/A/C/c.txt"};
    const auto contents = [](int seed) { return patterned(2000 + 1000 * seed, seed); };
    int seed = 0;
    for (const char* name : inTree)
        put(name, contents(++seed));
    put("P/p.txt", contents(6));
    put("P/Z/z.txt", contents(7));
    ASSERT_TRUE(QFile::link(at("P/Z"), at("P/A/L")));

    const EncDecResult sealed = run(job(true, "P/A", true));
    QStringList expected;
    for (const char* name : inTree)
        expected << at(name);
    EXPECT_EQ(user.started, expected);
    EXPECT_EQ(sealed.done, 5);
    ASSERT_EQ(sealed.notes.size(), 1);
    EXPECT_EQ(sealed.notes[0].path, at("P/A/L"));
    EXPECT_EQ(entries(at("P")), (QStringList {u"A"_s, u"Z"_s, u"p.txt"_s}));
    EXPECT_EQ(readAll(at("P/Z/z.txt")), contents(7));

    keys.append(secret(kKey));
    EncDecResult opened;
    std::thread([&] { opened = run(job(false, "P/A", true)); }).join();
    EXPECT_EQ(opened.done, 5);
    EXPECT_TRUE(user.keyAsked.isEmpty());
    seed = 0;
    for (const char* name : inTree)
        EXPECT_EQ(readAll(at(name)), contents(++seed)) << name;
}

// With no key known the first file asks, plain or not, and a cancelled question ends the whole
// run. A wrong remembered key brings the question up; a damaged file fails without asking, and
// is named with its reason. Files already in the wanted state are counted with the exact closing
// text, left as they are, and ask nothing.
TEST_F(EncDecBatchTest, KeyQuestionsDamagedFilesAndFilesAlreadyInTheWantedState)
{
    put("q/a.txt", "plain");
    put("q/x.txt", patterned(5000));
    ASSERT_EQ(encryptOne(at("q/x.txt"), "Right1").kind, CryptOutcome::Done);
    const QByteArray sealed = readAll(at("q/x_txt.mv$"));
    const QByteArray damaged = QByteArray(MV_SIGNATURE) + "broken";
    put("q/bad_txt.mv$", damaged);

    EncDecResult r = run(job(false, "q"));
    EXPECT_TRUE(r.keyCancelled);
    EXPECT_TRUE(keys.KeyCancelled);
    EXPECT_EQ(user.keyAsked, QStringList {at("q/a.txt")});
    EXPECT_EQ(r.done + r.passedOver + r.failed.size(), 0);
    EXPECT_EQ(readAll(at("q/x_txt.mv$")), sealed);

    keys.append(secret("Wrong1"));
    user.keyAsked.clear();
    user.keyAnswers = {"Right1"};
    r = run(job(false, "q"));
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(readAll(at("q/x.txt")), patterned(5000));
    EXPECT_EQ(user.keyAsked, QStringList {at("q/x_txt.mv$")});
    EXPECT_EQ(readAll(at("q/a.txt")), "plain");
    EXPECT_EQ(passedOverText(r, false), u"1 file(s) already decrypted and were skiped."_s);
    ASSERT_EQ(r.failed.size(), 1);
    EXPECT_EQ(readAll(at("q/bad_txt.mv$")), damaged);
    EXPECT_EQ(problemsText(r, false),
              u"These files could not be decrypted:\n%1: %2"_s.arg(at("q/bad_txt.mv$"), r.failed[0].reason));

    QFile::remove(at("q/a.txt"));
    ASSERT_EQ(encryptOne(at("q/x.txt"), "Other1").kind, CryptOutcome::Done);
    const QByteArray before = readAll(at("q/x_txt.mv$"));
    r = run(job(true, "q"));
    EXPECT_EQ(r.passedOver, 2);
    EXPECT_EQ(passedOverText(r, true), u"2 file(s) already encrypted and were skiped."_s);
    EXPECT_EQ(problemsText(r, true), QString());
    EXPECT_EQ(readAll(at("q/x_txt.mv$")), before);
}

// A cancel between files finishes the file in hand and leaves the rest untouched. A file gone
// since the listing is passed over with a note; one the work refuses (a link) is named with its
// reason; neither is counted as done.
TEST_F(EncDecBatchTest, CancelAndFilesThatCannotBeWorkedOnAreNeverCountedDone)
{
    for (const char* name : {"v/f1.txt", "v/f2.txt", "v/f3.txt", "v/f4.txt"})
        put(name, patterned(1000, name[3]));
    ASSERT_TRUE(QFile::link(at("v/f1.txt"), at("v/a-link.txt")));
    EncDecBatch batch(job(true, "v"), user);
    user.onProgress = [&](const EncDecProgress& p) {
        if (p.file == at("v/f1.txt"))
            QFile::remove(at("v/f2.txt"));
        if (p.file == at("v/f3.txt"))
            batch.cancel();
    };
    const EncDecResult r = batch.run();
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.done, 2);
    ASSERT_EQ(r.failed.size(), 1);
    EXPECT_EQ(problemsText(r, true),
              u"These files could not be encrypted:\n%1: %2\n\nThese were passed over:\n%3: no longer there; "
              "it went away after the folder was listed"_s.arg(at("v/a-link.txt"), r.failed[0].reason,
                                                               at("v/f2.txt")));
    EXPECT_EQ(entries(at("v")),
              (QStringList {u"a-link.txt"_s, u"f1_txt.mv$"_s, u"f3_txt.mv$"_s, u"f4.txt"_s}));
    EXPECT_EQ(readAll(at("v/f4.txt")), patterned(1000, '4'));
    EXPECT_EQ(decryptOne(at("v/f3_txt.mv$"), {kKey}).kind, CryptOutcome::Done);
    EXPECT_EQ(readAll(at("v/f3.txt")), patterned(1000, '3'));
}

// A tree deeper than the system's path limit: what lies below the limit stays plain, and the
// run fails naming the deepest folder it reached (once), instead of passing it over quietly.
TEST_F(EncDecBatchTest, TreeDeeperThanThePathLimitFailsNamingTheDeepestFolderReached)
{
    put("deep/top.txt", patterned(100));
    const QByteArray root = QFile::encodeName(at("deep"));
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    QString reached = at("deep");
    const int levels = PATH_MAX / 2 + 10; // "d/" each: past the limit
    for (int i = 0; i < levels && fd >= 0; ++i) {
        ASSERT_EQ(::mkdirat(fd, "d", 0700), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        if (reached.size() + 2 < PATH_MAX)
            reached += "/d"_L1;
    }
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::close(::openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0600)), 0);
    ::close(fd);

    const EncDecResult r = run(job(true, "deep", true));
    EXPECT_EQ(r.done, 1); // top.txt
    ASSERT_EQ(r.failed.size(), 1);
    EXPECT_TRUE(reached.startsWith(r.failed[0].path)) << r.failed[0].path.size();
    EXPECT_GT(r.failed[0].path.size(), PATH_MAX - 8);
    EXPECT_TRUE(r.failed[0].reason.contains("File name too long"_L1)) << r.failed[0].reason.toStdString();

    // QTemporaryDir cannot remove a tree it cannot name; rm walks it from the inside.
    EXPECT_EQ(QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), at("deep")}), 0);
}

// Whatever the filter, the temporary files of an interrupted run are named to the user and
// never encrypted as if they were the user's.
TEST_F(EncDecBatchTest, LeftoverTemporaryFilesAreOfferedForWipingAndNeverEncrypted)
{
    put("t/$MVAB12CD.TMP", "half-wiped data");
    put("t/.mv-abcdefghij12.tmp", "half-written data");
    put("t/photo.jpg", patterned(1500));
    EncDecJob j = job(true, "t");
    j.scope.spec = u"*.jpg"_s;

    EXPECT_EQ(run(j).done, 1);
    EXPECT_EQ(user.leftoversAsked, (QStringList {at("t/.mv-abcdefghij12.tmp"), at("t/$MVAB12CD.TMP")}));
    EXPECT_EQ(entries(at("t")),
              (QStringList {u"$MVAB12CD.TMP"_s, u".mv-abcdefghij12.tmp"_s, u"photo_jpg.mv$"_s}));
    EXPECT_EQ(readAll(at("t/$MVAB12CD.TMP")), "half-wiped data");

    j.scope.spec = u"*.*"_s;
    user.wipeLeftovers = true;
    EXPECT_EQ(run(j).leftoversWiped, 2);
    EXPECT_EQ(entries(at("t")), QStringList {u"photo_jpg.mv$"_s});
}
