// mvcrypt as a user or a script meets it, run in a folder of its own without a controlling
// terminal (or on a pseudo-terminal when a key is typed): files on disk, exit status, one line per
// problem; and the faults found by using it as a hostile user would, each named after what went
// wrong.
#include "desktop/ThumbnailTraces.h"
#include "fileutil/TestFiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>

using namespace mvtest;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out, err; // on a terminal, `out` is everything it showed
};

// Each prompt mvcrypt shows on a terminal, and the line typed at it.
using Dialogue = std::vector<std::pair<std::string, std::string>>;

// Runs mvcrypt in `workingDir`. Arguments are raw bytes, so names that are not valid text can be
// passed too. Without a dialogue it runs in a session of its own, without a controlling terminal
// as under CI or cron; with one, on a pseudo-terminal where each prompt is answered.
CliRun runMvcryptRaw(const QList<QByteArray>& args, const QString& workingDir, const Dialogue& dialogue = {})
{
    QTemporaryDir capture;
    const QByteArray out = QFile::encodeName(capture.filePath(QStringLiteral("out")));
    const QByteArray err = QFile::encodeName(capture.filePath(QStringLiteral("err")));
    const QByteArray dir = QFile::encodeName(workingDir);
    std::vector<char*> argv {const_cast<char*>(MVCRYPT_PATH)};
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    const bool onTty = !dialogue.empty();
    int master = -1;
    const pid_t child = onTty ? ::forkpty(&master, nullptr, nullptr, nullptr) : ::fork();
    if (child == 0) {
        if (!onTty) {
            ::setsid();
            const int i = ::open("/dev/null", O_RDONLY);
            const int o = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
                ::_exit(126);
        }
        if (::chdir(dir.constData()) == 0)
            ::execv(MVCRYPT_PATH, argv.data());
        ::_exit(127);
    }
    std::string screen;
    const auto readUntil = [&](const std::string& want) {
        char buf[256];
        while (screen.find(want) == std::string::npos) {
            pollfd p {master, POLLIN, 0};
            const ssize_t n = ::poll(&p, 1, 20000) > 0 ? ::read(master, buf, sizeof buf) : 0;
            if (n <= 0)
                return false;
            screen.append(buf, size_t(n));
        }
        return true;
    };
    for (const auto& [prompt, answer] : dialogue)
        if (!readUntil(prompt) || ::write(master, answer.data(), answer.size()) < 0)
            break;
    if (onTty)
        readUntil("\x04never"); // drain until the child closes the terminal
    int status = 0;
    for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0; ++waited) {
        if (waited == 12000) { // still waiting for input it will never get: fail, never hang
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        ::usleep(10000);
    }
    if (onTty)
        ::close(master);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -2,
            onTty ? QString::fromStdString(screen) : QString::fromLocal8Bit(readAll(QFile::decodeName(out))),
            QString::fromLocal8Bit(readAll(QFile::decodeName(err)))};
}

class MvcryptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        keyFile = tmp.filePath(QStringLiteral("../key-%1").arg(QFileInfo(dir).fileName()));
        ASSERT_TRUE(writeAll(keyFile, "correct horse\n"));
    }
    void TearDown() override { QFile::remove(keyFile); }
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }
    CliRun run(const QStringList& args, const Dialogue& dialogue = {}) const
    {
        QList<QByteArray> raw;
        for (const QString& a : args)
            raw << QFile::encodeName(a);
        return runMvcryptRaw(raw, dir, dialogue);
    }
    QStringList names() const { return entries(dir); }

    QTemporaryDir tmp;
    const QString dir = tmp.path();
    QString keyFile;
};

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
    EXPECT_EQ(order, (QStringList {"a.tar.gz", "empty", "z.jpg", "B/b.txt", "B/deep/d.txt", "C/c.txt"}));
    EXPECT_EQ(names(), (QStringList {"B", "C", "a.tar_gz.mv$", "empty.mv%", "z_jpg.mv$"}));
    EXPECT_EQ(entries(path("B/deep")), QStringList {"d_txt.mv$"});

    r = run({"decrypt", "-r", "--key-file", keyFile, "."});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(names(), (QStringList {"B", "C", "a.tar.gz", "empty", "z.jpg"}));
    for (const auto& [name, data] : files)
        EXPECT_EQ(readAll(path(name)), data) << name;
}

// Each failure is one line naming the file and the reason; the other files are still done
// and the failed ones keep their data: a damaged file is refused whole, not half decrypted.
// A file already in the wanted state is reported as passed over, untouched, and is no failure.
TEST_F(MvcryptTest, FailuresNameTheFileAndKeepItsDataAndFilesInTheirStateArePassedOver)
{
    writeAll(path("a.txt"), patterned(200000));
    writeAll(path("plain.txt"), "plain");
    ASSERT_EQ(run({"encrypt", "--key-file", keyFile, "a.txt"}).exitCode, 0);
    const QByteArray encrypted = readAll(path("a_txt.mv$"));
    const std::pair<QStringList, QString> passedOver[] = {
        {{"encrypt", "--key-file", keyFile, "a_txt.mv$"}, "a_txt.mv$: passed over, already encrypted"},
        {{"decrypt", "--key-file", keyFile, "plain.txt"}, "plain.txt: passed over, not encrypted"}};
    for (const auto& [args, report] : passedOver) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(report)) << r.err.toStdString();
    }
    EXPECT_EQ(readAll(path("a_txt.mv$")), encrypted);
    EXPECT_EQ(readAll(path("plain.txt")), QByteArray("plain"));
    ASSERT_TRUE(QFile::remove(path("plain.txt")));

    QByteArray damaged = encrypted;
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

    // wipe: a file named is wiped, and a missing one is a failure that does not stop the rest.
    // Thumbnails of a file outliving its wipe would show what it held: the wipe takes them along,
    // in every size; another file's stay. (Encrypting takes them through encryptOne, tested there.)
    writeAll(path("doomed.png"), "gone");
    const QStringList ofDoomed = plantThumbnails(path("doomed.png"));
    const QStringList ofOther = plantThumbnails(path("b.txt"));
    r = run({"wipe", "missing", "doomed.png"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "mvcrypt: missing: read file information: No such file or directory\n");
    EXPECT_EQ(names(), (QStringList {"a_txt.mv$", "b_txt.mv$", "folder"}));
    EXPECT_EQ(stillThere(ofDoomed), QStringList());
    EXPECT_EQ(stillThere(ofOther), ofOther);
}

// Usage errors exit with 2. The key never comes from the command line, and a key is asked for
// only where one can be typed: twice to encrypt, never echoed, a mismatch touching nothing; once
// to decrypt.
TEST_F(MvcryptTest, UsageAndKeyRulesAreEnforcedBeforeAnyFileIsTouchedAndATypedKeyIsNeverEchoed)
{
    writeAll(path("a.txt"), "alpha");
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Usage: mvcrypt"));
    for (const QStringList& args :
         {QStringList {"shred", "x"}, QStringList {"encrypt"}, QStringList {"checksum", "-r", "x"}})
        EXPECT_EQ(run(args).exitCode, 2) << args.join(' ').toStdString();
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

    r = run({"encrypt", "a.txt"}, {{"Key: ", "first-key\n"}, {"Key again: ", "other\n"}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("the two keys differ")) << r.out.toStdString();
    EXPECT_EQ(names(), QStringList {"a.txt"});
    r = run({"encrypt", "a.txt"}, {{"Key: ", "s3cret-key\n"}, {"Key again: ", "s3cret-key\n"}});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("s3cret-key")) << r.out.toStdString();
    EXPECT_EQ(names(), QStringList {"a_txt.mv$"});
    r = run({"decrypt", "a_txt.mv$"}, {{"Key: ", "s3cret-key\n"}});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("Key again"));
    EXPECT_EQ(readAll(path("a.txt")), QByteArray("alpha"));
}

// Encrypting file.my_ext and file_my.ext, both to file_my_ext.mv$, destroyed the first.
TEST_F(MvcryptTest, TwoFilesWithOneTargetNameNeverDestroyEachOther)
{
    writeAll(path("file.my_ext"), "first");
    writeAll(path("file_my.ext"), "second");
    CliRun r = run({"encrypt", "--key-file", keyFile, "file.my_ext", "file_my.ext"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), "mvcrypt: file_my.ext: file_my_ext.mv$ exists; it is left as it is; "
                               "use --replace to replace it");
    EXPECT_EQ(readAll(path("file_my.ext")), QByteArray("second"));
    EXPECT_EQ(run({"decrypt", "--key-file", keyFile, "file_my_ext.mv$"}).exitCode,
              1); // onto the newer one
    EXPECT_EQ(readAll(path("file_my.ext")), QByteArray("second"));
    r = run({"decrypt", "--replace", "--key-file", keyFile, "file_my_ext.mv$"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(path("file_my.ext")), QByteArray("first"));
    EXPECT_EQ(names(), QStringList {"file_my.ext"});
}

// Ctrl+C, SIGTERM and SIGHUP left hidden temporary files of plain text behind; even a kill
// that cannot be caught must leave no named temporary file.
TEST_F(MvcryptTest, StopSignalCleansUpTheFileInHandAndExits130)
{
    QByteArray data(128 << 20, 'x');
    for (int i = 0; i < data.size(); i += 4096)
        data[i] = char(i >> 12);
    writeAll(path("big.dat"), data);
    for (const int sig : {SIGINT, SIGTERM, SIGKILL}) {
        QProcess p;
        p.setWorkingDirectory(dir);
        p.start(QStringLiteral(MVCRYPT_PATH), {"encrypt", "--key-file", keyFile, "big.dat"});
        ASSERT_TRUE(p.waitForStarted());
        // Once the new file exists (open, without a name), the run is in the middle.
        const QString fds = QStringLiteral("/proc/%1/fd").arg(p.processId());
        bool writing = false;
        for (int i = 0; i < 5000 && !writing; ++i) {
            for (const QString& fd :
                 QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
                char target[4096];
                const ssize_t n =
                    ::readlink(QFile::encodeName(fds + "/" + fd).constData(), target, sizeof target);
                writing = writing ||
                          (n > 0 && QByteArray(target, int(n)).startsWith(QFile::encodeName(dir) + "/#"));
            }
            if (!writing)
                ::usleep(1000);
        }
        ASSERT_TRUE(writing);
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(60000));
        if (sig != SIGKILL) {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 130) << p.readAllStandardError().toStdString();
        }
        EXPECT_EQ(names(), QStringList {"big.dat"});
        EXPECT_EQ(readAll(path("big.dat")), data);
    }
}

// Temporary files of a killed run were later taken for the user's files and encrypted; a
// half-zeroed file left by an interrupted wipe was encrypted over its good copy; encrypt -r
// encrypted its own key file and wiped it: the tree could never be opened again.
TEST_F(MvcryptTest, LeftoversOfAKilledRunAndTheKeyFileInsideTheTreeAreNeverEncrypted)
{
    writeAll(path(".mv-abcdefabcdef.tmp"), "decrypted text of a killed run");
    writeAll(path("$MVAB12CD.TMP"), "half zeroed");
    writeAll(path("note.txt"), "note");
    const QString inside = path("key.txt");
    writeAll(inside, "key inside the tree\n");
    CliRun r = run({"encrypt", "-r", "--key-file", inside, "."});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* name : {"/.mv-abcdefabcdef.tmp", "/$MVAB12CD.TMP"})
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("Remove it safely with: mvcrypt wipe '%1%2'").arg(dir, name)))
            << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("key.txt: passed over, the key file is left as it is")) << r.err.toStdString();
    EXPECT_EQ(names(), (QStringList {"$MVAB12CD.TMP", ".mv-abcdefabcdef.tmp", "key.txt", "note_txt.mv$"}));
    EXPECT_EQ(readAll(path(".mv-abcdefabcdef.tmp")), QByteArray("decrypted text of a killed run"));
    EXPECT_EQ(readAll(inside), QByteArray("key inside the tree\n"));
}

// Wiping "caf\xe9.txt" destroyed "caf\uFFFD.txt", whose name decodes to the same text; a walk
// skipped such names silently.
TEST_F(MvcryptTest, UndecodableNamesAreRefusedNeverConfusedWithOthers)
{
    const QByteArray latin1 = "caf\xe9.txt", lookalike = "caf\xef\xbf\xbd.txt";
    writeAll(path(QString::fromUtf8(lookalike)), "the other file");
    const QByteArray undecodable = QFile::encodeName(dir) + "/" + latin1;
    const int fd = ::open(undecodable.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "mine", 4), 4);
    ::close(fd);
    CliRun r = runMvcryptRaw({"wipe", latin1}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("caf\\xe9.txt: the name is not valid UTF-8")) << r.err.toStdString();
    EXPECT_EQ(readAll(path(QString::fromUtf8(lookalike))), QByteArray("the other file"));
    EXPECT_EQ(::access(undecodable.constData(), F_OK), 0);
    r = runMvcryptRaw({"encrypt", "-r", "--key-file", QFile::encodeName(keyFile), "."}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("/caf\\xe9.txt: the name is not valid UTF-8")) << r.err.toStdString();
    EXPECT_EQ(::access(undecodable.constData(), F_OK), 0); // left as it is; the other one encrypted
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("caf\uFFFD_txt.mv$"))));
    EXPECT_FALSE(QFile::exists(path(QString::fromUtf8(lookalike))));
    // A line break inside a name must not split a report line in two.
    writeAll(path("new\nline"), "123456789");
    EXPECT_EQ(run({"checksum", "new\nline"}).out, "cbf43926  new\\x0aline\n");
}

// checksum of /dev/zero or a fifo printed 00000000 with exit 0, or hung on a fifo without a
// writer; a failure could not be told from a CRC of 0.
TEST_F(MvcryptTest, ChecksumRefusesWhatIsNotARegularFile)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    writeAll(path("empty"), {});
    writeAll(path("digits"), "123456789");
    CliRun r = run({"checksum", "pipe", "/dev/zero", "empty", ".", "digits", "nothing-here"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "00000000  empty\ncbf43926  digits\n");
    EXPECT_EQ(r.err, "mvcrypt: pipe: not a regular file\nmvcrypt: /dev/zero: not a regular file\n"
                     "mvcrypt: .: is a folder\nmvcrypt: nothing-here: No such file or directory\n");
}

// Two runs on one folder at once corrupted a quarter of its files.
TEST_F(MvcryptTest, TwoRunsAtOnceLoseNothing)
{
    QDir(dir).mkdir("tree");
    for (int i = 0; i < 60; ++i)
        writeAll(path(QStringLiteral("tree/f%1").arg(i)), patterned(20000 + i, i));
    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        p->setWorkingDirectory(dir);
        p->start(QStringLiteral(MVCRYPT_PATH), {"encrypt", "-r", "--key-file", keyFile, "tree"});
    }
    ASSERT_TRUE(a.waitForFinished(120000) && b.waitForFinished(120000));
    EXPECT_EQ(entries(path("tree")).filter(".mv%").size(), 60);
    CliRun r = run({"decrypt", "-r", "--key-file", keyFile, "tree"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(readAll(path(QStringLiteral("tree/f%1").arg(i))), patterned(20000 + i, i)) << i;
}

} // namespace
