// The command line as file managers, the association's "/F=%1" and people type it.
#include "shell/CommandLine.h"

#include "fileutil/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mv::shell {
namespace {

// Switches are whole arguments and paths run to the end. A file whose name begins with "-" is
// opened when it exists, and "--" ends the options; Qt's own options that are left over are
// still skipped. A path that is not text is no file and says so: a replacement character would
// name another file. The file named is then completed.
TEST(CommandLineTest, SwitchesArgumentsLikeOptionsPathsThatAreNotTextAndMissingFiles)
{
    QTemporaryDir tmp;
    const QString cwd = tmp.path();
    ASSERT_TRUE(mvtest::writeAll(tmp.filePath("-rf.txt"), "x"));
    const QString rf = tmp.filePath("-rf.txt");
    struct Case {
        QList<QByteArray> args;
        QString file;
        bool minimized;
        bool undecodable = false;
    };
    const Case cases[] = {
        {{"/F=/home/me/My Pictures/cat photo_jpg.mv$"}, "/home/me/My Pictures/cat photo_jpg.mv$", false},
        {{"/f=/x/y.jpg"}, "/x/y.jpg", false},
        {{"/F=/x/y.jpg", "/M"}, "/x/y.jpg", true},
        {{"/m", "/F=/x/a /M b.jpg"}, "/x/a /M b.jpg", true},
        {{"/media/x.jpg"}, "/media/x.jpg", false},
        {{"/M/x.jpg"}, "/M/x.jpg", false},
        {{"/mnt"}, "/mnt", false},
        {{"pics/a.jpg"}, cwd + "/pics/a.jpg", false},
        {{"/F=../b.png"}, cwd + "/../b.png", false},
        {{"/F="}, QString(), false},
        {{"/F=", "/c.gif"}, "/c.gif", false},
        {{"/a.jpg", "/F=/b.jpg"}, "/a.jpg", false},
        {{"-style", "/M"}, QString(), true},
        {{}, QString(), false},
        {{"-rf.txt"}, rf, false},
        {{"--", "-rf.txt"}, rf, false},
        {{"--", "-gone.txt"}, cwd + "/-gone.txt", false},
        {{"--", "/M"}, "/M", false},
        {{"-style", "-rf.txt"}, rf, false},
        {{"-gone.txt"}, QString(), false},
        {{"/pics/caf\xc3\xa9.jpg"}, "/pics/café.jpg", false},
        {{"/F=/pics/\xff\xfe.jpg", "/M"}, QString(), true, true},
        {{"/pics/caf\xe9.jpg", "/M"}, QString(), true, true},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args, cwd);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(cl.startupFile, c.file) << what;
        EXPECT_EQ(cl.minimized, c.minimized) << what;
        EXPECT_EQ(cl.undecodableFile, c.undecodable) << what;
        EXPECT_EQ(cl.problem.isEmpty(), !c.undecodable) << what;
    }
    EXPECT_EQ(parseCommandLine({"a.jpg"}, "/").startupFile, "/a.jpg");

    // A missing file leaves its folder; an existing one stays.
    const QString folder = cwd + "/My Pictures";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/a b_jpg.mv$";
    ASSERT_TRUE(mvtest::writeAll(file, "x"));
    EXPECT_EQ(completeStartupFile(file), file);
    EXPECT_EQ(completeStartupFile(folder + "/gone.jpg"), folder + "/");
    EXPECT_EQ(completeStartupFile(folder), folder + "/");
    EXPECT_EQ(completeStartupFile(folder + "/"), folder + "/");
    EXPECT_EQ(completeStartupFile(cwd + "/no/such/dir/x.jpg"), cwd + "/no/such/dir/");
    EXPECT_EQ(completeStartupFile(parseCommandLine({"/F=" + QFile::encodeName(file), "/M"}, cwd).startupFile),
              file);
}

} // namespace
} // namespace mv::shell
