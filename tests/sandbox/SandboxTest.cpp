// The decoder helper as the program meets it: a taken-over decoder (HostileHelper.cpp) against
// the kernel and the caps; no helper keeps a decrypted picture for a later one; a helper runs
// under hard limits and with none of the user's environment, and one that is stopped costs a
// picture seconds, not minutes; vector pictures drawn there as here; and answers that do not
// add up.
#include "fileio/MemoryFile.h"
#include "sandbox/HelperPool.h"
#include "sandbox/ReplyReader.h"
#include "sandbox/helper/InProcessDecoders.h"
#include "support/NoisePicture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLibraryInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

namespace mv::sandbox {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

DecodeJob jobFor(const QByteArray& bytes, const QString& name = QStringLiteral("a.png"),
                 const QString& key = {})
{
    DecodeJob job;
    job.bytes = bytes;
    job.fileName = name;
    job.strikeKey = key;
    return job;
}

PoolOptions hostile()
{
    PoolOptions options;
    options.program = QStringLiteral(MV_HOSTILE_HELPER);
    options.maxHelpers = 1;
    options.cpuSeconds = 1;
    // The processor-time caps, not the wall clock, must stop "loop" and "stubborn": two minutes
    // of waiting let the five seconds the hard cap allows pass on a busy machine too (a fifth of
    // a processor, a load of ten on two, takes 25 s).
    options.wallMs = 120000;
    return options;
}

// What the hostile helper says to the input that makes it try the attack `line`.
imaging::Picture decodeAttack(HelperPool& pool, const QByteArray& line, const QString& key = {})
{
    const QByteArray bytes = "MVTEST-HOSTILE " + line; // the job only views it
    return pool.decode(jobFor(bytes, QStringLiteral("x.png"), key));
}
std::string outcome(HelperPool& pool, const QByteArray& line)
{
    return decodeAttack(pool, line).status.reason;
}

TEST(DecoderHelper, EveryAttackIsStoppedTheCallerLearnsWhyAndAPictureThatKeepsStoppingItIsRefused)
{
    HelperPool pool(hostile());
    const QByteArray png = mv::test::noisePng(64, 64, 7);
    const imaging::Picture expected = InProcessDecoders().decode(jobFor(png));
    const auto nextDecodes = [&] {
        const imaging::Picture next = pool.decode(jobFor(png));
        ASSERT_TRUE(next.ok()) << next.status.reason;
        EXPECT_EQ(next.image, expected.image);
    };
    nextDecodes();
    const Protections in = pool.protections();
    ASSERT_TRUE(in.reported);

    const struct {
        const char* attack;
        std::uint32_t enforcedBy; // any of these
        const char* why;
        bool stopped; // the helper was ended (else the call was refused and it went on)
    } cases[] = {
        {"open-with 0 /etc/passwd", FileRules | SyscallFilter, "open: Permission denied", false},
        {"socket", SyscallFilter, "the decoder was stopped: it tried a forbidden system call", true},
        {"exec", SyscallFilter, "the decoder was stopped: it tried a forbidden system call", true},
        {"memory", MemoryCap, "the decoder was stopped: it needed more memory than a picture may take", true},
        {"loop", TimeCap, "the decoder was stopped: it used up its processor time", true},
        // Deaf to SIGXCPU: the hard limit, just above the soft one, ends it.
        {"stubborn", TimeCap, "the decoder was stopped: it used up its processor time", true},
        {"wild", ~0u, "the decoder was stopped: it crashed", true},
        // Memory files count against no address-space cap: their size and number are capped.
        {"bigfile", MemoryFileCap, "the decoder was stopped: it needed more memory than a picture may take",
         true},
        {"memfiles", MemoryFileCap, "memory file: Too many open files", false},
    };
    QStringList notEnforced;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attack);
        if (!(in.bits & c.enforcedBy)) {
            notEnforced << QLatin1String(c.attack);
            continue;
        }
        const imaging::Picture stopped = decodeAttack(pool, c.attack);
        EXPECT_FALSE(stopped.ok());
        EXPECT_EQ(stopped.status.reason, c.why);
        EXPECT_EQ(decoderStopped(stopped.status), c.stopped);
        nextDecodes();
    }
    // A picture that stops the decoder three times in a row is refused until it changes (another
    // size or time).
    for (int i = 0; i < HelperPool::kStrikesBeforeRefusal; ++i)
        EXPECT_EQ(decodeAttack(pool, "wild", QStringLiteral("w|1|1")).status.reason,
                  "the decoder was stopped: it crashed");
    const imaging::Picture refused = decodeAttack(pool, "wild", QStringLiteral("w|1|1"));
    EXPECT_THAT(refused.status.reason, HasSubstr("three times in a row"));
    EXPECT_TRUE(decoderStopped(refused.status));
    EXPECT_EQ(decodeAttack(pool, "wild", QStringLiteral("w|1|2")).status.reason,
              "the decoder was stopped: it crashed");
    EXPECT_EQ(pool.helperCount(), 1);
    if (!notEnforced.isEmpty())
        GTEST_SKIP() << "this kernel does not enforce what would stop: "
                     << notEnforced.join(u' ').toStdString();
}

// The kernel checks the processor-time limit on its count sampled at each tick, which on a busy
// processor runs ahead of the exact run time by up to a second here; the helper the hard limit
// ended was told "it was killed". A neighbour that wakes every millisecond on the same
// processor makes that lag as a busy machine does.
TEST(DecoderHelper, AHelperTheHardLimitEndsOnABusyProcessorIsToldItUsedUpItsTime)
{
    cpu_set_t all;
    ASSERT_EQ(::sched_getaffinity(0, sizeof all, &all), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(::sched_getcpu(), &one);
    // The helper is started from this thread and keeps its processor.
    ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
    std::atomic<bool> done {false};
    std::thread neighbour([&] {
        (void)::sched_setaffinity(0, sizeof one, &one);
        while (!done) {
            QElapsedTimer busy;
            busy.start();
            while (busy.nsecsElapsed() < 1'000'000) {
            }
            QThread::usleep(1000);
        }
    });
    HelperPool pool(hostile());
    const imaging::Picture stopped = decodeAttack(pool, "stubborn");
    done = true;
    neighbour.join();
    (void)::sched_setaffinity(0, sizeof all, &all);
    if (!(pool.protections().bits & TimeCap))
        GTEST_SKIP() << "this kernel does not cap processor time";
    EXPECT_EQ(stopped.status.reason, "the decoder was stopped: it used up its processor time");
}

// A pool of the hostile helper (or of `options`), its helper started and ready with these
// variables in its environment, as the session around the program would set them.
std::unique_ptr<HelperPool> hostileWith(const std::map<QByteArray, QByteArray>& env = {},
                                        const PoolOptions& options = hostile())
{
    std::map<QByteArray, std::optional<QByteArray>> before;
    for (const auto& [name, value] : env) {
        const char* n = name.constData();
        before[name] = qEnvironmentVariableIsSet(n) ? std::optional(qgetenv(n)) : std::nullopt;
        qputenv(n, value);
    }
    auto pool = std::make_unique<HelperPool>(options);
    (void)pool->decode(jobFor(mv::test::noisePng(4, 4, 1)));
    for (const auto& [name, value] : before)
        (void)(value ? qputenv(name.constData(), *value) : qunsetenv(name.constData()));
    return pool;
}

TEST(DecoderHelper, WhereTheSystemCallFilterCannotBeInstalledNothingIsDecodedAndTheReasonIsShown)
{
    const auto pool = hostileWith({{"MVTEST_WITHHOLD", "all"}});
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    const imaging::Picture picture = pool->decode(jobFor(png));
    EXPECT_FALSE(picture.ok());
    EXPECT_TRUE(picture.image.isNull());
    EXPECT_EQ(picture.status.message(),
              "lock down decoder: pictures are not decoded, because this system refused the decoder's "
              "system-call filter");
    // Not the picture's fault: it is not counted against it, and probing is refused the same way.
    EXPECT_FALSE(decoderStopped(picture.status));
    const imaging::PictureInfo info = pool->probe(jobFor(png));
    EXPECT_FALSE(info.ok());
    EXPECT_EQ(info.status.message(), picture.status.message());
    const Protections left = pool->protections();
    EXPECT_EQ(left.bits & ~std::uint32_t(TimeCap | MemoryFileCap), 0u); // set from outside
    EXPECT_EQ(
        describeProtections(left).toStdString(),
        "No picture is decoded: this system refused the system-call filter without which the decoding "
        "process may not run. Refused by this system: system-call filter, file access limited to fonts and "
        "plug-ins, no network, no new privileges, memory cap, no core files.");
}

TEST(DecoderHelper, ASecondThreadAliveAtLockdownIsRefused)
{
    // Capabilities, Landlock and no-new-privileges bind only the thread that sets them: a thread
    // left over from the warm-up would decode without them.
    const auto pool = hostileWith({{"MVTEST_LINGERING_THREAD", "1"}});
    const imaging::Picture picture = pool->decode(jobFor(mv::test::noisePng(16, 16, 7)));
    EXPECT_FALSE(picture.ok());
    EXPECT_EQ(picture.status.message(),
              "lock down decoder: pictures are not decoded, because the decoder had 2 threads when it "
              "locked itself down, where it must have one");
    if (!pool->protections().has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    // The filter binds the other thread too (TSYNC).
    ASSERT_EQ(pool->helperPids().size(), 1u);
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pool->helperPids().front()));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(threads.size(), 2);
    for (const QString& tid : threads) {
        QFile status(tasks.filePath(tid + QStringLiteral("/status")));
        ASSERT_TRUE(status.open(QIODevice::ReadOnly));
        EXPECT_TRUE(status.readAll().contains("\nSeccomp:\t2\n")) << tid.toStdString();
    }
}

constexpr const char* kForbidden = "the decoder was stopped: it tried a forbidden system call";

pid_t helperPidOf(HelperPool& pool)
{
    return pid_t(QString::fromStdString(outcome(pool, "pid")).section(u' ', 1).toInt());
}

// One locked-down helper: no capabilities, no clone but the C library's threads, and nothing to
// open but the image-format plug-ins, to read.
TEST(DecoderHelper, ALockedDownHelperHasNoCapabilitiesMakesOnlyThreadsAndReadsOnlyImageFormatPlugins)
{
    QTemporaryDir pluginPath;
    ASSERT_TRUE(pluginPath.isValid());
    QFile planted(pluginPath.filePath(QStringLiteral("planted")));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    ASSERT_EQ(planted.write("not a plug-in"), 13);
    planted.close();
    const auto started = hostileWith({{"QT_PLUGIN_PATH", QFile::encodeName(pluginPath.path())}});
    HelperPool& pool = *started;
    const Protections in = pool.protections();
    QFile status(QStringLiteral("/proc/%1/status").arg(helperPidOf(pool)));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    // The bounding set can be emptied only by a helper that owns its user namespace (or root).
    const bool boundingToo = in.has(OwnNamespaces) || ::geteuid() == 0;
    std::string caps;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("Cap") && (boundingToo || !line.startsWith("CapBnd")))
            caps += line.simplified().toStdString() + '\n';
    EXPECT_EQ(caps,
              std::string("CapInh: 0000000000000000\nCapPrm: 0000000000000000\nCapEff: 0000000000000000\n") +
                  (boundingToo ? "CapBnd: 0000000000000000\n" : "") + "CapAmb: 0000000000000000\n");

    if (!in.has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    constexpr unsigned long kThread =
        CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD | CLONE_SYSVSEM;
    const std::pair<const char*, unsigned long> clones[] = {
        {"a thread in a network namespace of its own", kThread | CLONE_NEWNET},
        {"a thread in a mount namespace of its own", (kThread & ~CLONE_FS) | CLONE_NEWNS},
        {"a process in a user namespace of its own", CLONE_NEWUSER | SIGCHLD},
        {"a process sharing the memory", CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | SIGCHLD},
        {"a process", SIGCHLD},
    };
    for (const auto& [what, flags] : clones)
        EXPECT_EQ(outcome(pool, "clone " + QByteArray::number(qulonglong(flags), 16)), kForbidden) << what;
    // The C library's own threads still run (clone3 refused, so that it falls back to clone).
    EXPECT_EQ(outcome(pool, "thread"), "a thread ran");

    if (!in.has(FileRules))
        GTEST_SKIP() << "this kernel refuses Landlock";
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    const QDir formats(plugins.filePath(QStringLiteral("imageformats")));
    const QStringList formatPlugins = formats.entryList(QDir::Files);
    ASSERT_FALSE(formatPlugins.isEmpty());
    const QByteArray folder = QFile::encodeName(formats.path());
    const QByteArray file = QFile::encodeName(formats.filePath(formatPlugins.first()));
    constexpr const char* kDenied = "open: Permission denied";
    // The C library's O_TMPFILE carries O_DIRECTORY: a filter that counted it as a writing flag
    // refused every opendir.
    const QStringList names = formats.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(outcome(pool, "list " + folder), "listed " + std::to_string(names.size()));
    const struct {
        int flags;
        QByteArray path;
        const char* expected;
    } opens[] = {
        {O_RDONLY, file, "opened"},
        {O_RDONLY | O_DIRECTORY, folder, "opened"},
        // Qt's other plug-ins, the program's own folder and a folder of QT_PLUGIN_PATH are not.
        {O_RDONLY, QFile::encodeName(plugins.filePath(QStringLiteral("platforms/libqoffscreen.so"))),
         kDenied},
        {O_RDONLY, MV_HOSTILE_HELPER, kDenied},
        {O_RDONLY, QFile::encodeName(planted.fileName()), kDenied},
        // Nothing opens to write.
        {O_TMPFILE | O_RDWR, folder, kDenied},
        {O_WRONLY, file, kDenied},
        {O_RDWR, file, kDenied},
        {O_RDONLY | O_TRUNC, file, kDenied},
        {O_WRONLY | O_APPEND, file, kDenied},
        {O_WRONLY | O_CREAT, folder + "/new", kDenied},
    };
    for (const auto& o : opens) {
        const QByteArray line = "open-with " + QByteArray::number(o.flags, 16) + ' ' + o.path;
        EXPECT_EQ(outcome(pool, line), o.expected) << line.toStdString();
    }
}

bool reaped(pid_t pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

TEST(DecoderHelper, AHelperThatDecodedDecryptedBytesEndsOnceItHasAnsweredAndNoLaterPictureGetsThem)
{
    PoolOptions options = hostile();
    options.cpuSeconds = 30;
    HelperPool pool(options);
    const pid_t plain = helperPidOf(pool);
    ASSERT_GT(plain, 0);
    EXPECT_EQ(helperPidOf(pool), plain); // plain pictures share a helper

    const QByteArray png = mv::test::noisePng(64, 64, 9);
    DecodeJob secret = jobFor(png, QStringLiteral("s.png"));
    secret.sensitive = true;
    const imaging::Picture shown = pool.decode(secret);
    ASSERT_TRUE(shown.ok()) << shown.status.reason;
    // Ended and collected before the picture came back, and a spare started in its place.
    EXPECT_THAT(pool.helperPids(), Not(Contains(plain)));
    EXPECT_TRUE(reaped(plain));
    EXPECT_EQ(pool.helperPids().size(), 1u);
    // The copy a taken-over helper kept is gone with it: no later plain picture shows it.
    EXPECT_EQ(outcome(pool, "replay"), "nothing was kept");

    // Looking into decrypted bytes ends a helper too.
    const pid_t next = helperPidOf(pool);
    EXPECT_NE(next, plain);
    EXPECT_TRUE(pool.probe(secret).status.ok);
    EXPECT_TRUE(reaped(next));
    EXPECT_NE(helperPidOf(pool), next);
}

// "Max cpu time" of /proc/<pid>/limits: {soft, hard}, each a number or "unlimited".
std::pair<QString, QString> limitOf(pid_t pid, const char* name)
{
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : limits.readAll().split('\n')) {
        if (!line.startsWith(name))
            continue;
        const QStringList fields =
            QString::fromLatin1(line.mid(qsizetype(std::strlen(name)))).split(u' ', Qt::SkipEmptyParts);
        return {fields.value(0), fields.value(1)};
    }
    return {};
}

// Where the kernel refuses all but the system-call filter (which leaves the helper dumpable, so
// that its environment can be read), pictures still decode, and About says what was refused.
TEST(DecoderHelper, AHelperRunsUnderHardLimitsAndWithNoneOfTheUsersEnvironment)
{
    PoolOptions options = hostile();
    options.cpuSeconds = 5;
    const auto pool = hostileWith({{"SSH_AUTH_SOCK", "/run/user/1000/ssh-agent.socket"},
                                   {"XAUTHORITY", "/run/user/1000/xauth_abc"},
                                   {"DISPLAY", ":0"},
                                   {"QT_PLUGIN_PATH", "/tmp/plugins"},
                                   {"LANG", "C.UTF-8"},
                                   {"MVTEST_WITHHOLD", "all-but-filter"}},
                                  options);
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    const imaging::Picture picture = pool->decode(jobFor(png));
    ASSERT_TRUE(picture.ok()) << picture.status.reason;
    EXPECT_EQ(picture.image, InProcessDecoders().decode(jobFor(png)).image);
    ASSERT_EQ(pool->helperPids().size(), 1u);
    const pid_t pid = pool->helperPids().front();

    QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
    ASSERT_TRUE(environ.open(QIODevice::ReadOnly)) << environ.errorString().toStdString();
    QStringList names;
    QStringList entries;
    for (const QByteArray& entry : environ.readAll().split('\0')) {
        entries << QString::fromLocal8Bit(entry);
        names << entries.back().section(u'=', 0, 0);
    }
    for (const char* name : {"SSH_AUTH_SOCK", "XAUTHORITY", "DISPLAY", "QT_PLUGIN_PATH", "MV_DECODER_HELPER"})
        EXPECT_THAT(names, Not(Contains(QLatin1String(name))));
    EXPECT_THAT(entries, Contains(QStringLiteral("LANG=C.UTF-8")));
    EXPECT_THAT(entries, Contains(QStringLiteral("QT_QPA_PLATFORM=offscreen")));

    // A helper deaf to SIGXCPU is killed a few seconds later, not left to the wall clock.
    const auto [softCpu, hardCpu] = limitOf(pid, "Max cpu time");
    ASSERT_NE(hardCpu, "unlimited");
    EXPECT_GT(hardCpu.toLongLong(), softCpu.toLongLong());
    EXPECT_LE(hardCpu.toLongLong() - softCpu.toLongLong(), 3);
    // Memory files: no larger than the largest picture, and only a few at a time.
    const auto [softSize, hardSize] = limitOf(pid, "Max file size");
    EXPECT_EQ(hardSize.toULongLong(), kMaxHelperFileBytes);
    EXPECT_EQ(softSize, hardSize);
    const auto [softFiles, hardFiles] = limitOf(pid, "Max open files");
    EXPECT_EQ(hardFiles.toInt(), kMaxHelperDescriptors);

    const Protections left = pool->protections();
    if (!left.has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    // The time and memory-file caps are set from outside.
    EXPECT_EQ(left.bits & ~std::uint32_t(TimeCap | MemoryFileCap | SyscallFilter), 0u);
    EXPECT_THAT(describeProtections(left).toStdString(),
                HasSubstr("Refused by this system: file access limited"));
}

TEST(DecoderHelper, AStoppedHelperIsReplacedWithinTheScaledLimitAndThePictureSaysTheDecoderStopped)
{
    const QByteArray png = mv::test::noisePng(64, 64, 3);
    // A small picture is given seconds, a large one more, none more than the ceiling.
    ASSERT_LE(wallMsFor(std::uint64_t(png.size())), 6000);
    EXPECT_GT(wallMsFor(std::uint64_t(8) << 20), 20000);
    EXPECT_EQ(wallMsFor(std::uint64_t(1) << 40), kMaxWallMs);

    PoolOptions options;
    options.maxHelpers = 1;
    HelperPool pool(options);
    ASSERT_TRUE(pool.decode(jobFor(png)).ok());
    const pid_t stopped = pool.helperPids().front();
    ASSERT_EQ(::kill(stopped, SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    const imaging::Picture p = pool.decode(jobFor(png));
    EXPECT_LE(clock.elapsed(), wallMsFor(std::uint64_t(png.size())) + 3000);
    EXPECT_TRUE(decoderStopped(p.status));
    EXPECT_EQ(p.status.reason, "the decoder was stopped: it took too long");
    EXPECT_TRUE(reaped(stopped));
    EXPECT_THAT(pool.helperPids(), Not(Contains(stopped)));
    EXPECT_TRUE(pool.decode(jobFor(png)).ok());
}

TEST(DecoderHelper, VectorPicturesAreDrawnInTheHelperAsInThisProcess)
{
    HelperPool pool;
    InProcessDecoders here;
    for (const char* name : {"wmf/mixed.wmf", "emf/mixed.emf", "wpgvector/wpg2_text.wpg"}) {
        SCOPED_TRACE(name);
        QFile file(QStringLiteral(MV_CORPUS "/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        DecodeJob job = jobFor(bytes, QLatin1String(name));
        job.draw.box = QSize(300, 200);
        const imaging::Picture there = pool.decode(job);
        const imaging::Picture local = here.decode(job);
        ASSERT_TRUE(there.ok()) << there.status.reason;
        EXPECT_TRUE(there.redrawable);
        EXPECT_FALSE(there.isVector());
        EXPECT_EQ(there.image.size(), drawnVectorSize(QSizeF(there.width, there.height), job.draw));
        EXPECT_EQ(there.image, local.image);
        EXPECT_EQ(there.typeName, local.typeName);
        EXPECT_EQ(there.colorDepth, local.colorDepth);
    }
}

// An answer as a taken-over helper could give it: a picture said to be 4 x 4, its frame table
// at the start of a memory file whose contents and seals the test chooses.
struct Forged {
    wire::Reply header;
    std::vector<wire::Frame> frames;
    std::vector<std::pair<std::uint64_t, QByteArray>> contents; // written at their offsets
    std::uint64_t fileBytes = 256;
    bool sealSize = true;
    bool sealWrites = true;

    Forged()
    {
        header.kind = wire::ReplyKind::Picture;
        header.width = 4;
        header.height = 4;
        header.colorDepth = 24;
        wire::Frame fair;
        fair.pixelOffset = 128;
        fair.width = 4;
        fair.height = 4;
        fair.bytesPerLine = 16;
        fair.format = QImage::Format_RGB32;
        frames = {fair};
    }
    // Indexed pixels at 128 (indexes 0 to 15 rising, then 200 and above), colours at 64.
    Forged& indexed(int colors, QImage::Format format = QImage::Format_Indexed8)
    {
        frames[0].format = format;
        frames[0].bytesPerLine = 4;
        frames[0].colorOffset = 64;
        frames[0].colorCount = colors;
        QList<QRgb> table(colors, qRgb(0, 0, 255));
        if (colors > 0)
            table[0] = qRgb(255, 0, 0);
        contents.emplace_back(64, QByteArray(reinterpret_cast<const char*>(table.constData()), colors * 4));
        contents.emplace_back(128, QByteArray::fromHex("00010203c8c9caff00010203c8c9caff"));
        fileBytes = 4096;
        if (colors > 16)
            frames[0].pixelOffset = (64 + std::uint64_t(colors) * 4 + 15) / 16 * 16;
        contents.back().first = frames[0].pixelOffset;
        return *this;
    }
};

// The answer read as the program reads it; pixelFile, when given, gets a descriptor of the
// memory file, to look at what is left in it.
imaging::Picture answer(const Forged& forged, const DecodeJob& job = {},
                        fileio::UniqueFd* pixelFile = nullptr)
{
    ParsedReply reply;
    reply.header = forged.header;
    reply.header.frameCount = std::uint32_t(forged.frames.size());
    fileio::UniqueFd fd = fileio::newMemoryFile("test-pixels", forged.fileBytes);
    const auto tableBytes = ssize_t(forged.frames.size() * sizeof(wire::Frame));
    EXPECT_EQ(::pwrite(fd.get(), forged.frames.data(), std::size_t(tableBytes), 0), tableBytes);
    for (const auto& [at, bytes] : forged.contents) {
        EXPECT_EQ(::pwrite(fd.get(), bytes.constData(), std::size_t(bytes.size()), off_t(at)), bytes.size());
    }
    if (forged.sealSize) {
        EXPECT_TRUE(fileio::sealMemoryFile(fd.get(), !forged.sealWrites));
    }
    if (pixelFile)
        *pixelFile = fileio::UniqueFd(::dup(fd.get()));
    return readPicture(reply, std::move(fd), job);
}

bool refusedAsStopped(const imaging::Picture& p)
{
    return !p.ok() && decoderStopped(p.status) &&
           p.status.reason == "the decoder was stopped: its answer was malformed";
}

// Jobs for a decrypted picture, one decoded for a 2 x 2 target, and one drawn into an 8 x 8 box.
DecodeJob with(void (*set)(DecodeJob&))
{
    DecodeJob job;
    set(job);
    return job;
}
const DecodeJob kDecrypted = with([](DecodeJob& j) { j.sensitive = true; });
const DecodeJob kReduced = with([](DecodeJob& j) { j.options.targetSize = QSize(2, 2); });
const DecodeJob kVectorBox = with([](DecodeJob& j) { j.draw.box = QSize(8, 8); });

TEST(DecoderHelper, AnswersThatAddUpAreTakenAsTheySay)
{
    // Decoded smaller for a target size, and a vector picture drawn into the job's box: the
    // natural size is stated rounded, so 3.4 x 4 states 3 x 4 and is drawn 7 x 8.
    Forged small;
    small.header.width = 40;
    small.header.height = 30;
    EXPECT_TRUE(answer(small, kReduced).ok());
    Forged drawn;
    drawn.header.flags = wire::kRedrawable;
    drawn.frames[0].width = 8;
    drawn.frames[0].height = 8;
    drawn.frames[0].bytesPerLine = 32;
    drawn.fileBytes = 512;
    EXPECT_TRUE(answer(drawn, kVectorBox).ok());
    drawn.header.width = 3;
    drawn.frames[0].width = 7;
    EXPECT_TRUE(answer(drawn, kVectorBox).ok());
    // An animation whose frames lie apart, each the frame it says.
    Forged two;
    two.frames.push_back(two.frames[0]);
    two.frames[1].pixelOffset = 192;
    two.frames[1].delayMs = 70;
    const imaging::Picture animated = answer(two);
    ASSERT_TRUE(animated.ok()) << animated.status.reason;
    ASSERT_TRUE(animated.isAnimated());
    EXPECT_EQ(animated.animation->frames[1].delayMs, 70);
}

TEST(DecoderHelper, AnAnswerThatDoesNotAddUpIsRefusedAsTheDecoderStopped)
{
    using Lie = void (*)(Forged&);
    const struct {
        const char* what;
        Lie lie;
        DecodeJob job;
    } lies[] = {
        // The file: it could shrink under the mapping, or a plain picture's pixels could change
        // while they are shown.
        {"size not sealed", [](Forged& f) { f.sealSize = false; }, {}},
        {"plain pixels writable", [](Forged& f) { f.sealWrites = false; }, {}},
        // A frame out of range: pixels past the end, a line too short for its width, no such
        // format, offsets that wrap around.
        {"past the end", [](Forged& f) { f.frames[0].pixelOffset = 240; }, {}},
        {"narrow", [](Forged& f) { f.frames[0].bytesPerLine = 8; }, {}},
        {"no such format", [](Forged& f) { f.frames[0].format = QImage::NImageFormats; }, {}},
        {"pixels wrap", [](Forged& f) { f.frames[0].pixelOffset = ~std::uint64_t(15); }, {}},
        {"colours wrap",
         [](Forged& f) {
             f.indexed(256);
             f.frames[0].colorOffset = ~std::uint64_t(3);
         },
         {}},
        // Colour tables: one on a format that has none, and indexed frames without a colour
        // for every index their pixels can hold (drawing them read past the table's end).
        {"colours on true colour", [](Forged& f) { f.frames[0].colorCount = 2; }, {}},
        {"indexed, no colours", [](Forged& f) { f.indexed(0); }, {}},
        {"indexed, one colour", [](Forged& f) { f.indexed(1); }, {}},
        {"indexed, 255 colours", [](Forged& f) { f.indexed(255); }, {}},
        {"two-colour, no colours", [](Forged& f) { f.indexed(0, QImage::Format_Mono); }, {}},
        {"two-colour, one colour", [](Forged& f) { f.indexed(1, QImage::Format_MonoLSB); }, {}},
        // The stated size against the first frame's.
        {"wider than its frame", [](Forged& f) { f.header.width = 5; }, {}},
        {"smaller than its frame", [](Forged& f) { f.header.height = 3; }, {}},
        {"reduced, yet larger", [](Forged& f) { f.header.width = 3; }, kReduced},
        {"drawn at another size",
         [](Forged& f) {
             f.header.flags = wire::kRedrawable;
             f.header.width = f.header.height = 40; // drawn 8 x 8 into the box, not 4 x 4
         },
         kVectorBox},
        // Frames sharing bytes with each other or with the table, and more frames than a
        // decoder keeps: two of 256 MiB each, in a file large enough for them.
        {"same pixels twice", [](Forged& f) { f.frames.push_back(f.frames[0]); }, {}},
        {"pixels over the table", [](Forged& f) { f.frames[0].pixelOffset = 0; }, {}},
        {"colours inside the pixels",
         [](Forged& f) {
             f.indexed(256);
             f.frames[0].colorOffset = f.frames[0].pixelOffset;
         },
         {}},
        {"animation past the bound",
         [](Forged& f) {
             f.header.width = 16384;
             f.header.height = 4096;
             f.frames[0] = {4096, 0, 16384, 4096, 16384 * 4, QImage::Format_RGB32, 0, 0};
             f.frames.push_back(f.frames[0]);
             f.frames[1].pixelOffset += std::uint64_t(256) << 20;
             f.fileBytes = f.frames[1].pixelOffset + (std::uint64_t(256) << 20);
         },
         {}},
    };
    for (const auto& [what, lie, job] : lies) {
        Forged forged;
        lie(forged);
        EXPECT_TRUE(refusedAsStopped(answer(forged, job))) << what;
    }
}

TEST(DecoderHelper, ADecryptedPicturesPixelFileIsWipedTakenOrRefused)
{
    for (const bool refused : {false, true}) {
        Forged forged = Forged().indexed(refused ? 1 : 256);
        forged.sealWrites = false;
        fileio::UniqueFd file;
        const imaging::Picture p = answer(forged, kDecrypted, &file);
        EXPECT_EQ(p.ok(), !refused) << p.status.reason;
        QByteArray left(int(forged.fileBytes), 'x');
        ASSERT_EQ(::pread(file.get(), left.data(), std::size_t(left.size()), 0), left.size());
        EXPECT_EQ(left, QByteArray(left.size(), '\0')) << refused;
    }
}

// A decoder's colour table shorter than its pixels' indexes can reach comes back whole from
// the helper, the colours it left out black, the pixels the same.
TEST(DecoderHelper, AShortColourTableComesBackWholeFromTheHelper)
{
    QImage indexed(4, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    for (int i = 0; i < 8; ++i)
        indexed.setPixel(i % 4, i / 4, uint(i % 3));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && indexed.save(&buffer, "PNG"));
    const DecodeJob job = jobFor(png, QStringLiteral("short.png"));
    const imaging::Picture here = InProcessDecoders().decode(job);
    ASSERT_TRUE(here.ok());
    ASSERT_EQ(here.image.format(), QImage::Format_Indexed8);
    ASSERT_LT(here.image.colorCount(), 256);

    HelperPool pool;
    const imaging::Picture there = pool.decode(job);
    ASSERT_TRUE(there.ok()) << there.status.reason;
    QList<QRgb> whole = here.image.colorTable();
    whole.resize(256, qRgb(0, 0, 0));
    EXPECT_EQ(there.image.colorTable(), whole);
    EXPECT_EQ(there.image.convertToFormat(QImage::Format_RGB32),
              here.image.convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace mv::sandbox
