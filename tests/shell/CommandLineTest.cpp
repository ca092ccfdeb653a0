// The command line as file managers, the association's "/F=%1" and people type it.
#include "shell/CommandLine.h"

#include "fileutil/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mv::shell {
namespace {

CommandLine parse(const QList<QByteArray>& args, const QString& cwd = "/home/me")
{
    return parseCommandLine(args, cwd);
}

TEST(CommandLineTest, SwitchesAreWholeArgumentsAndPathsRunToTheEnd)
{
    struct Case {
        QList<QByteArray> args;
        QString file;
        bool minimized;
    };
    const Case cases[] = {
        {{"/F=/home/me/My Pictures/cat photo_jpg.mv$"}, "/home/me/My Pictures/cat photo_jpg.mv$", false},
        {{"/f=/x/y.jpg"}, "/x/y.jpg", false},
        {{"/F=/x/y.jpg", "/M"}, "/x/y.jpg", true},
        {{"/m", "/F=/x/a /M b.jpg"}, "/x/a /M b.jpg", true},
        {{"/media/x.jpg"}, "/media/x.jpg", false},
        {{"/M/x.jpg"}, "/M/x.jpg", false},
        {{"/mnt"}, "/mnt", false},
        {{"pics/a.jpg"}, "/home/me/pics/a.jpg", false},
        {{"/F=../b.png"}, "/home/me/../b.png", false},
        {{"/F="}, QString(), false},
        {{"/F=", "/c.gif"}, "/c.gif", false},
        {{"/a.jpg", "/F=/b.jpg"}, "/a.jpg", false},
        {{"-style", "/M"}, QString(), true},
        {{}, QString(), false},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parse(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(cl.startupFile, c.file) << what;
        EXPECT_EQ(cl.minimized, c.minimized) << what;
        EXPECT_FALSE(cl.undecodableFile) << what;
        EXPECT_TRUE(cl.problem.isEmpty()) << what;
    }
    EXPECT_EQ(parse({"a.jpg"}, "/").startupFile, "/a.jpg");
}

// A file whose name begins with "-" is opened when it exists, and "--" ends the options;
// Qt's own options that are left over are still skipped.
TEST(CommandLineTest, FileNamedLikeAnOptionOpensWhenItExistsOrAfterDoubleDash)
{
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("-rf.txt"))).open(QIODevice::WriteOnly);
    const QString rf = dir.filePath(QStringLiteral("-rf.txt"));
    EXPECT_EQ(parse({"-rf.txt"}, dir.path()).startupFile, rf);
    EXPECT_EQ(parse({"--", "-rf.txt"}, dir.path()).startupFile, rf);
    EXPECT_EQ(parse({"--", "-gone.txt"}, dir.path()).startupFile, dir.filePath(QStringLiteral("-gone.txt")));
    EXPECT_EQ(parse({"--", "/M"}, dir.path()).startupFile, QStringLiteral("/M"));
    EXPECT_FALSE(parse({"--", "/M"}, dir.path()).minimized);
    EXPECT_EQ(parse({"-style", "-rf.txt"}, dir.path()).startupFile, rf);
    EXPECT_TRUE(parse({"-gone.txt"}, dir.path()).startupFile.isEmpty());
}

TEST(CommandLineTest, PathThatIsNotTextIsNoFileAndSaysSo)
{
    for (const QByteArray& arg : {QByteArray("/F=/pics/\xff\xfe.jpg"), QByteArray("/pics/caf\xe9.jpg")}) {
        const CommandLine cl = parse({arg, "/M"});
        EXPECT_TRUE(cl.undecodableFile);
        EXPECT_TRUE(cl.startupFile.isEmpty()) << "a replacement character would name another file";
        EXPECT_FALSE(cl.problem.isEmpty());
        EXPECT_TRUE(cl.minimized);
    }
    EXPECT_EQ(parse({"/pics/caf\xc3\xa9.jpg"}).startupFile, "/pics/café.jpg");
}

TEST(CommandLineTest, MissingFileLeavesItsFolderAndAnExistingOneStays)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString folder = tmp.path() + "/My Pictures";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/a b_jpg.mv$";
    ASSERT_TRUE(mvtest::writeAll(file, "x"));

    EXPECT_EQ(completeStartupFile(file), file);
    EXPECT_EQ(completeStartupFile(folder + "/gone.jpg"), folder + "/");
    EXPECT_EQ(completeStartupFile(folder), folder + "/");
    EXPECT_EQ(completeStartupFile(folder + "/"), folder + "/");
    EXPECT_EQ(completeStartupFile(tmp.path() + "/no/such/dir/x.jpg"), tmp.path() + "/no/such/dir/");
    EXPECT_EQ(completeStartupFile(parse({"/F=" + QFile::encodeName(file), "/M"}).startupFile), file);
}

} // namespace
} // namespace mv::shell
