// mvcrypt as a user or a script meets it: files on disk, exit status, one line per problem.
#include "MvcryptFixture.h"

#include <mvengine/engine.h>

namespace {

// Encrypting then decrypting a tree gives back every byte under the original names, and leaves
// nothing else behind; -r takes each folder's files before its sub-folders, in name order.
TEST_F(MvcryptTest, RoundTripRestoresBytesAndNamesFilesBeforeSubfolders)
{
    const QByteArray big = patterned(3 * 1024 * 1024 + 17, 1);
    QDir(dir).mkpath("B/deep");
    QDir(dir).mkpath("C");
    const std::pair<const char*, QByteArray> files[] = {{"z.jpg", big},        {"a.tar.gz", "tarball"},
                                                        {"empty", {}},         {"B/b.txt", "b"},
                                                        {"B/deep/d.txt", "d"}, {"C/c.txt", "c"}};
    for (const auto& [name, data] : files)
        ASSERT_TRUE(writeAll(path(name), data));

    CliRun r = run({"encrypt", "-r", "-v", "--key-file", keyFile, "."});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    QStringList order;
    for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
        order << line.section(' ', 1, 1).mid(dir.size() + 1);
    EXPECT_EQ(order, (QStringList {"a.tar.gz", "empty", "z.jpg", "B/b.txt", "B/deep/d.txt", "C/c.txt"}))
        << r.out.toStdString();
    EXPECT_EQ(names(), (QStringList {"B", "C", "a.tar_gz.mv$", "empty.mv%", "z_jpg.mv$"}));
    EXPECT_EQ(entries(path("B/deep")), QStringList {"d_txt.mv$"});
    EXPECT_TRUE(readAll(path("z_jpg.mv$")).startsWith(MV_SIGNATURE));
    EXPECT_FALSE(readAll(path("z_jpg.mv$")).contains(big.mid(1000, 64)));

    r = run({"decrypt", "-r", "--key-file", keyFile, "."});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(names(), (QStringList {"B", "C", "a.tar.gz", "empty", "z.jpg"}));
    for (const auto& [name, data] : files)
        EXPECT_EQ(readAll(path(name)), data) << name;
}

// A file already in the wanted state is reported as passed over, untouched, and is no failure.
TEST_F(MvcryptTest, FilesAlreadyInTargetStateArePassedOver)
{
    writeAll(path("note.txt"), "secret note");
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "note.txt"}).exitCode, 0);
    const QByteArray encrypted = readAll(path("note_txt.mv$"));

    CliRun r = run({"encrypt", "--key-file", keyFile, "note_txt.mv$"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("note_txt.mv$: passed over, already encrypted")) << r.err.toStdString();
    EXPECT_EQ(readAll(path("note_txt.mv$")), encrypted);

    writeAll(path("plain.txt"), "plain");
    r = run({"decrypt", "--key-file", keyFile, "plain.txt"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("plain.txt: passed over, not encrypted")) << r.err.toStdString();
    EXPECT_EQ(readAll(path("plain.txt")), QByteArray("plain"));
}

// Each failure is one line naming the file and the reason; the other files are still done
// and the failed ones keep their data: a damaged file is refused whole, not half decrypted.
TEST_F(MvcryptTest, FailuresNameTheFileAndKeepItsData)
{
    writeAll(path("a.txt"), patterned(200000));
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "a.txt"}).exitCode, 0);
    QByteArray damaged = readAll(path("a_txt.mv$"));
    damaged[damaged.size() - 100] = char(damaged[damaged.size() - 100] ^ 0x01);
    writeAll(path("a_txt.mv$"), damaged);
    CliRun r = run({"decrypt", "--key-file", keyFile, "a_txt.mv$"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "mvcrypt: a_txt.mv$: the file is damaged or truncated\n");
    EXPECT_EQ(readAll(path("a_txt.mv$")), damaged);

    writeAll(path("b.txt"), "beta");
    QDir(dir).mkdir("folder");
    r = run({"encrypt", "--key-file", keyFile, "missing.txt", "folder", "b.txt"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("mvcrypt: missing.txt: ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("mvcrypt: folder: is a folder")) << lines[1].toStdString();
    EXPECT_EQ(names(), (QStringList {"a_txt.mv$", "b_txt.mv$", "folder"}));
}

// The key never comes from the command line, and a key is asked for only where one can be typed.
TEST_F(MvcryptTest, KeyRulesAreEnforcedBeforeAnyFileIsTouched)
{
    writeAll(path("a.txt"), "alpha");
    CliRun r = run({"encrypt", "--key", "hunter22", "a.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("never taken from the command line"));

    r = run({"encrypt", "a.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("no terminal to ask the key on; use --key-file FILE")) << r.err.toStdString();

    writeAll(keyFile, "abc\n");
    r = run({"encrypt", "--key-file", keyFile, "a.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("a new key needs at least 4 characters")) << r.err.toStdString();
    EXPECT_EQ(names(), QStringList {"a.txt"});
    EXPECT_EQ(readAll(path("a.txt")), QByteArray("alpha"));
}

// A file named is wiped, and a missing one is a failure that does not stop the rest.
TEST_F(MvcryptTest, WipeDestroysTheFilesNamed)
{
    writeAll(path("doomed"), "gone");
    writeAll(path("kept"), "kept");
    const CliRun r = run({"wipe", "missing", "doomed"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "mvcrypt: missing: read file information: No such file or directory\n");
    EXPECT_EQ(names(), QStringList {"kept"});
}

TEST_F(MvcryptTest, UsageErrorsExitWithTwo)
{
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Usage: mvcrypt"));
    for (const QStringList& args :
         {QStringList {"shred", "x"}, QStringList {"encrypt"}, QStringList {"checksum", "-r", "x"}})
        EXPECT_EQ(run(args).exitCode, 2) << args.join(' ').toStdString();
}

} // namespace
