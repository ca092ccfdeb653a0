// mvcrypt as a user or a script meets it: files on disk, exit status, one line per problem.
#include "MvcryptFixture.h"

#include <mvengine/engine.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Encrypting then decrypting gives back every byte, under the original names, and leaves
// nothing else behind: no plain copy, no temporary file.
TEST_F(MvcryptTest, RoundTripRestoresBytesAndNames)
{
    const QByteArray big = randomBytes(3 * 1024 * 1024 + 17, 1);
    writeFile(path("photo.jpg"), big);
    writeFile(path("empty"), {});
    writeFile(path("arc.tar.gz"), "tarball");

    CliRun r = run({"encrypt", "--key-file", keyFile, "photo.jpg", "empty", "arc.tar.gz"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(entriesOf(dir), (QStringList{"arc.tar_gz.mv$", "empty.mv%", "photo_jpg.mv$"}));
    EXPECT_TRUE(readAll(path("photo_jpg.mv$")).startsWith(MV_SIGNATURE));
    EXPECT_FALSE(readAll(path("photo_jpg.mv$")).contains(big.mid(1000, 64)));

    r = run({"decrypt", "--key-file", keyFile, "photo_jpg.mv$", "empty.mv%", "arc.tar_gz.mv$"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(entriesOf(dir), (QStringList{"arc.tar.gz", "empty", "photo.jpg"}));
    EXPECT_EQ(readAll(path("photo.jpg")), big);
    EXPECT_EQ(readAll(path("empty")), QByteArray());
    EXPECT_EQ(readAll(path("arc.tar.gz")), QByteArray("tarball"));
}

// With -r each folder's files come before its sub-folders, in name order.
TEST_F(MvcryptTest, RecursiveWalkTakesFilesBeforeSubfolders)
{
    QDir(dir).mkpath("B/deep");
    QDir(dir).mkpath("C");
    writeFile(path("z.txt"), "z");
    writeFile(path("a.txt"), "a");
    writeFile(path("B/b.txt"), "b");
    writeFile(path("B/deep/d.txt"), "d");
    writeFile(path("C/c.txt"), "c");

    CliRun r = run({"encrypt", "-r", "-v", "--key-file", keyFile, "."});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList order;
    for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
        order << line.section(' ', 1, 1).mid(dir.size() + 1);
    EXPECT_EQ(order, (QStringList{"a.txt", "z.txt", "B/b.txt", "B/deep/d.txt", "C/c.txt"}))
        << r.out.toStdString();
    EXPECT_EQ(entriesOf(path("B/deep")), QStringList{"d_txt.mv$"});

    r = run({"decrypt", "-r", "--key-file", keyFile, "."});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(path("B/deep/d.txt")), QByteArray("d"));
    EXPECT_EQ(entriesOf(dir), (QStringList{"B", "C", "a.txt", "z.txt"}));
}

// A file already in the wanted state is reported as passed over, untouched, and is no failure.
TEST_F(MvcryptTest, FilesAlreadyInTargetStateArePassedOver)
{
    writeFile(path("note.txt"), "secret note");
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "note.txt"}).exitCode, 0);
    const QByteArray encrypted = readAll(path("note_txt.mv$"));

    CliRun r = run({"encrypt", "--key-file", keyFile, "note_txt.mv$"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("note_txt.mv$: passed over, already encrypted")) << r.err.toStdString();
    EXPECT_EQ(readAll(path("note_txt.mv$")), encrypted);

    writeFile(path("plain.txt"), "plain");
    r = run({"decrypt", "--key-file", keyFile, "plain.txt"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("plain.txt: passed over, not encrypted")) << r.err.toStdString();
    EXPECT_EQ(readAll(path("plain.txt")), QByteArray("plain"));
}

// Each failure is one line naming the file and the reason; the other files are still done
// and the failed ones keep their data.
TEST_F(MvcryptTest, FailuresNameTheFileAndKeepItsData)
{
    writeFile(path("a.txt"), "alpha");
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "a.txt"}).exitCode, 0);
    const QByteArray encrypted = readAll(path("a_txt.mv$"));
    writeFile(path("b.txt"), "beta");
    QDir(dir).mkdir("folder");

    CliRun r = run({"decrypt", "--key-file", wrongKeyFile, "a_txt.mv$"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), "mvcrypt: a_txt.mv$: the key does not open this file");
    EXPECT_EQ(readAll(path("a_txt.mv$")), encrypted);
    EXPECT_FALSE(QFile::exists(path("a.txt")));

    r = run({"encrypt", "--key-file", keyFile, "missing.txt", "folder", "b.txt"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("mvcrypt: missing.txt: ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("mvcrypt: folder: is a folder")) << lines[1].toStdString();
    EXPECT_TRUE(QFile::exists(path("b_txt.mv$")));
    EXPECT_FALSE(QFile::exists(path("b.txt")));
}

// A damaged encrypted file is refused, not half-decrypted.
TEST_F(MvcryptTest, DamagedFileIsRefusedWhole)
{
    writeFile(path("doc.txt"), randomBytes(200000, 7));
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "doc.txt"}).exitCode, 0);
    QByteArray bytes = readAll(path("doc_txt.mv$"));
    bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x01);
    writeFile(path("doc_txt.mv$"), bytes);

    CliRun r = run({"decrypt", "--key-file", keyFile, "doc_txt.mv$"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("mvcrypt: doc_txt.mv$: ")) << r.err.toStdString();
    EXPECT_EQ(readAll(path("doc_txt.mv$")), bytes);
    EXPECT_EQ(entriesOf(dir), QStringList{"doc_txt.mv$"});
}

// The key never comes from the command line, and a key is asked for only where one can be typed.
TEST_F(MvcryptTest, KeyRulesAreEnforcedBeforeAnyFileIsTouched)
{
    writeFile(path("a.txt"), "alpha");
    CliRun r = run({"encrypt", "--key", "hunter22", "a.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("never taken from the command line"));

    r = run({"encrypt", "a.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("no terminal to ask the key on; use --key-file FILE")) << r.err.toStdString();

    writeFile(keyFile, "abc\n");
    r = run({"encrypt", "--key-file", keyFile, "a.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("a new key needs at least 4 characters")) << r.err.toStdString();
    EXPECT_EQ(entriesOf(dir), QStringList{"a.txt"});
    EXPECT_EQ(readAll(path("a.txt")), QByteArray("alpha"));
}

TEST_F(MvcryptTest, ChecksumIsTheZipCrc)
{
    writeFile(path("digits"), "123456789");
    CliRun r = run({"checksum", "digits", "nothing-here"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "cbf43926  digits\n");
    EXPECT_TRUE(r.err.startsWith("mvcrypt: nothing-here: ")) << r.err.toStdString();
}

// Wiping a link removes the link only; the file it points to keeps its data.
TEST_F(MvcryptTest, WipeDestroysFilesAndOnlyLinksOfLinks)
{
    writeFile(path("target"), "keep me");
    writeFile(path("doomed"), "gone");
    ASSERT_TRUE(QFile::link(path("target"), path("link")));
    CliRun r = run({"wipe", "doomed", "link"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(entriesOf(dir), QStringList{"target"});
    EXPECT_EQ(readAll(path("target")), QByteArray("keep me"));

    r = run({"wipe", "missing"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("mvcrypt: missing: ")) << r.err.toStdString();
}

TEST_F(MvcryptTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(run({"--help"}).exitCode, 0);
    EXPECT_TRUE(run({"--help"}).out.contains("Usage: mvcrypt"));
    EXPECT_EQ(run({"shred", "x"}).exitCode, 2);
    EXPECT_EQ(run({"encrypt"}).exitCode, 2);
    EXPECT_EQ(run({"checksum", "-r", "x"}).exitCode, 2);
}

} // namespace
