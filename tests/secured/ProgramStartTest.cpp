// Starting a listed program: the exact arguments and folder it gets, and the system's reason
// when it cannot start.
#include "LaunchTestKit.h"

#include "secured/ArgumentSplit.h"
#include "secured/LaunchTexts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>

using namespace mv;
using launchtest::readAll;
using launchtest::writeScript;

TEST(ArgumentSplit, WordsAreSplitAsAShellSplitsThemAndNothingIsExpanded)
{
    const secured::SplitArguments words = secured::splitArguments(
        QStringLiteral(R"(  a 'b  c' "d \"e\" \$f \x" g\ h '' "" ~ $HOME * it'"s'  )"));
    ASSERT_TRUE(words.status.ok) << words.status.message();
    EXPECT_EQ(words.arguments,
              QStringList({QStringLiteral("a"), QStringLiteral("b  c"), QStringLiteral(R"(d "e" $f \x)"),
                           QStringLiteral("g h"), QString(), QString(), QStringLiteral("~"),
                           QStringLiteral("$HOME"), QStringLiteral("*"), QStringLiteral("it\"s")}));
    EXPECT_TRUE(secured::splitArguments(QString()).arguments.isEmpty());
    EXPECT_EQ(secured::splitArguments(QStringLiteral("a\\\nb c\\")).arguments,
              QStringList({QStringLiteral("ab"), QStringLiteral("c\\")}));

    const secured::SplitArguments open = secured::splitArguments(QStringLiteral("--file 'my notes.txt"));
    EXPECT_FALSE(open.status.ok);
    EXPECT_TRUE(open.arguments.isEmpty());
    EXPECT_EQ(open.status.reason, "a single quote is not closed");
    EXPECT_EQ(secured::splitArguments(QStringLiteral("\"a")).status.reason, "a double quote is not closed");
}

// The old way handed the unquoted path and the parameters to the system as one line, so
// "/x/my tools/run me.sh" started "/x/my" if it existed.
TEST(ProgramStart, PathWithBlanksStartsThatProgramInItsFolderWithExactArguments)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    writeScript(dir.filePath(QStringLiteral("my")), "echo decoy > '" + out.toUtf8() + "'");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("my tools")));
    const QString program =
        writeScript(dir.filePath(QStringLiteral("my tools/run me.sh")),
                    "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > '" + out.toUtf8() + "'");
    // A descriptor this program holds open must not reach the launched one.
    const int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    QFile::remove(out);

    const secured::StartOutcome started =
        launchtest::start(program, QStringLiteral("one 'two  2' \"$HOME\""));
    ASSERT_TRUE(started.status.ok) << started.status.message();
    EXPECT_GT(started.programPid, 0);
    EXPECT_TRUE(started.scopeEvents.isEmpty());
    ASSERT_TRUE(launchtest::waitHelper(started, 5000));
    ::close(leaked);
    EXPECT_EQ(readAll(out), QDir(dir.filePath(QStringLiteral("my tools"))).canonicalPath().toUtf8() +
                                "\n[one]\n[two  2]\n[$HOME]\n");

    // A descriptor open here without close-on-exec is still closed for the program.
    const QString seen = dir.filePath(QStringLiteral("seen.txt"));
    const QString looker = writeScript(dir.filePath(QStringLiteral("look.sh")),
                                       "readlink /proc/$$/fd/$1 > '" + seen.toUtf8() + "'; exit 0");
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    const secured::StartOutcome looked = launchtest::start(looker, QString::number(held));
    ASSERT_TRUE(looked.status.ok) << looked.status.message();
    ASSERT_TRUE(launchtest::waitHelper(looked, 5000));
    ::close(held);
    EXPECT_TRUE(QFile::exists(seen));
    EXPECT_NE(readAll(seen).trimmed(), QByteArray("/dev/null"));
}

TEST(ProgramStart, AProgramThatCannotRunGivesTheSystemsReason)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(launchtest::writeAll(plain, "just text\n"));

    const secured::StartOutcome missing = launchtest::start(dir.filePath(QStringLiteral("gone")));
    EXPECT_FALSE(missing.status.ok);
    EXPECT_EQ(missing.status.step, "start the program");
    EXPECT_EQ(missing.status.error, ENOENT);
    EXPECT_EQ(missing.status.reason, "No such file or directory");
    EXPECT_LT(missing.helperPid, 0);
    EXPECT_EQ(secured::unableToRunText(missing.status),
              "Unable to run application\nNo such file or directory");

    const secured::StartOutcome notExecutable = launchtest::start(plain);
    EXPECT_EQ(notExecutable.status.error, EACCES);

    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const secured::StartOutcome noFormat = launchtest::start(plain);
    EXPECT_EQ(noFormat.status.error, ENOEXEC);
    EXPECT_EQ(noFormat.status.reason, "Exec format error");

    const secured::StartOutcome openQuote = launchtest::start(plain, QStringLiteral("'"));
    EXPECT_EQ(openQuote.status.reason, "a single quote is not closed");

    secured::StartOptions noHelper;
    noHelper.helper = dir.filePath(QStringLiteral("no-helper"));
    noHelper.scope = secured::ScopeUse::Never;
    const secured::StartOutcome helperMissing =
        secured::startProgram(QStringLiteral("/bin/true"), {}, noHelper);
    EXPECT_EQ(helperMissing.status.error, ENOENT);
}
