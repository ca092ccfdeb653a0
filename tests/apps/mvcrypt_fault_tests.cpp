// Faults found by using mvcrypt as a hostile user would, each named after what went wrong.
#include "MvcryptFixture.h"

#include <QProcess>

#include <csignal>

namespace {

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

    r = run({"decrypt", "--key-file", keyFile, "file_my_ext.mv$"});
    EXPECT_EQ(r.exitCode, 1); // onto the newer plain file_my.ext: refused too
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
// half-zeroed file left by an interrupted wipe was encrypted over its good copy.
TEST_F(MvcryptTest, LeftoversOfAKilledRunAreNamedAndNeverEncrypted)
{
    writeAll(path(".mv-abcdefabcdef.tmp"), "decrypted text of a killed run");
    writeAll(path("$MVAB12CD.TMP"), "half zeroed");
    writeAll(path("note.txt"), "note");
    CliRun r = run({"encrypt", "-r", "--key-file", keyFile, "."});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* name : {"/.mv-abcdefabcdef.tmp", "/$MVAB12CD.TMP"})
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("Remove it safely with: mvcrypt wipe '%1%2'").arg(dir, name)))
            << r.err.toStdString();
    EXPECT_EQ(names(), (QStringList {"$MVAB12CD.TMP", ".mv-abcdefabcdef.tmp", "note_txt.mv$"}));
    EXPECT_EQ(readAll(path(".mv-abcdefabcdef.tmp")), QByteArray("decrypted text of a killed run"));
}

// Wiping "caf\xe9.txt" destroyed "caf\uFFFD.txt", whose name decodes to the same text; a walk
// skipped such names silently.
TEST_F(MvcryptTest, UndecodableNamesAreRefusedNeverConfusedWithOthers)
{
    const QByteArray latin1 = "caf\xe9.txt";
    const QByteArray lookalike = "caf\xef\xbf\xbd.txt";
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
    r = run({"checksum", "new\nline"});
    EXPECT_EQ(r.out, "cbf43926  new\\x0aline\n");
}

// encrypt -r encrypted its own key file and wiped it: the tree could never be opened again.
TEST_F(MvcryptTest, KeyFileInsideTheTreeIsNeverEncrypted)
{
    const QString inside = path("key.txt");
    writeAll(inside, "key inside the tree\n");
    writeAll(path("data.txt"), "data");
    CliRun r = run({"encrypt", "-r", "--key-file", inside, "."});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("key.txt: passed over, the key file is left as it is")) << r.err.toStdString();
    EXPECT_EQ(readAll(inside), QByteArray("key inside the tree\n"));
    EXPECT_EQ(names(), (QStringList {"data_txt.mv$", "key.txt"}));
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
