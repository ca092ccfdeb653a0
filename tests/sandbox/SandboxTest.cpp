// The decoder helper as the program meets it: a taken-over decoder is stopped by the kernel or
// the caps whatever it tries, the caller learns why, and the next picture decodes normally; a
// picture that keeps stopping the decoder is refused until it changes; vector pictures are
// drawn in the helper exactly as in this process; and the program believes nothing a helper's
// answer says that does not add up.
#include "sandbox/HelperPool.h"
#include "sandbox/MemoryFile.h"
#include "sandbox/ReplyReader.h"
#include "sandbox/helper/InProcessDecoders.h"
#include "support/NoisePicture.h"
#include "support/QtAppEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

// Drawing text in this process, to compare, needs the GUI application (the helper has its own).
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QGuiApplication>("sandbox_tests");

namespace mv::sandbox {
namespace {

using ::testing::HasSubstr;

DecodeJob jobFor(const QByteArray& bytes, const QString& name, const QString& key = {})
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
    // The processor-time cap, not the wall clock, must stop "loop": a minute of waiting lets
    // two seconds of processor time pass however busy the machine is.
    options.wallMs = 60000;
    return options;
}

QByteArray attack(const char* name)
{
    return QByteArray("MVTEST-HOSTILE ") + name;
}

TEST(DecoderHelper, EveryAttackIsStoppedTheCallerLearnsWhyAndTheNextPictureDecodes)
{
    HelperPool pool(hostile());
    const QByteArray png = mv::test::noisePng(64, 64, 7);
    const imaging::Picture expected = InProcessDecoders().decode(jobFor(png, QStringLiteral("a.png")));
    const auto nextDecodes = [&] {
        const imaging::Picture next = pool.decode(jobFor(png, QStringLiteral("a.png")));
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
        {"open", FileRules | SyscallFilter, "open /etc/passwd: Permission denied", false},
        {"socket", SyscallFilter, "the decoder was stopped: it tried a forbidden system call", true},
        {"exec", SyscallFilter, "the decoder was stopped: it tried a forbidden system call", true},
        {"memory", MemoryCap, "the decoder was stopped: it needed more memory than a picture may take", true},
        {"loop", TimeCap, "the decoder was stopped: it used up its processor time", true},
        {"wild", ~0u, "the decoder was stopped: it crashed", true},
    };
    QStringList notEnforced;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attack);
        if (!(in.bits & c.enforcedBy)) {
            notEnforced << QLatin1String(c.attack);
            continue;
        }
        const QByteArray bytes = attack(c.attack);
        const imaging::Picture stopped = pool.decode(jobFor(bytes, QStringLiteral("x.png")));
        EXPECT_FALSE(stopped.ok());
        EXPECT_EQ(stopped.status.reason, c.why);
        EXPECT_EQ(decoderStopped(stopped.status), c.stopped);
        nextDecodes();
    }
    EXPECT_EQ(pool.helperCount(), 1);
    if (!notEnforced.isEmpty())
        GTEST_SKIP() << "this kernel does not enforce what would stop: "
                     << notEnforced.join(u' ').toStdString();
}

TEST(DecoderHelper, APictureThatStopsTheDecoderThreeTimesInARowIsRefusedUntilItChanges)
{
    HelperPool pool(hostile());
    const QByteArray wild = attack("wild");
    for (int i = 0; i < HelperPool::kStrikesBeforeRefusal; ++i)
        EXPECT_EQ(pool.decode(jobFor(wild, QStringLiteral("w.png"), QStringLiteral("w|1|1"))).status.reason,
                  "the decoder was stopped: it crashed");
    const imaging::Picture refused =
        pool.decode(jobFor(wild, QStringLiteral("w.png"), QStringLiteral("w|1|1")));
    EXPECT_THAT(refused.status.reason, HasSubstr("three times in a row"));
    EXPECT_TRUE(decoderStopped(refused.status));
    // Changed (another size or time): tried again.
    EXPECT_EQ(pool.decode(jobFor(wild, QStringLiteral("w.png"), QStringLiteral("w|1|2"))).status.reason,
              "the decoder was stopped: it crashed");
}

// A pool of the hostile helper, its helper started (with these variables in its environment)
// and ready.
std::unique_ptr<HelperPool> hostileWith(std::initializer_list<std::pair<const char*, QByteArray>> env = {})
{
    for (const auto& [name, value] : env)
        qputenv(name, value);
    auto pool = std::make_unique<HelperPool>(hostile());
    (void)pool->decode(jobFor(mv::test::noisePng(4, 4, 1), QStringLiteral("a.png")));
    for (const auto& [name, value] : env)
        qunsetenv(name);
    return pool;
}

TEST(DecoderHelper, WhereTheKernelRefusesAllButTheFilterPicturesStillDecodeAndAboutSaysSo)
{
    const auto pool = hostileWith({{"MVTEST_WITHHOLD", "all-but-filter"}});
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    const imaging::Picture picture = pool->decode(jobFor(png, QStringLiteral("a.png")));
    ASSERT_TRUE(picture.ok()) << picture.status.reason;
    EXPECT_EQ(picture.image, InProcessDecoders().decode(jobFor(png, QStringLiteral("a.png"))).image);
    const Protections left = pool->protections();
    if (!left.has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    EXPECT_EQ(left.bits & ~std::uint32_t(TimeCap | SyscallFilter), 0u); // the time cap is set from outside
    EXPECT_THAT(describeProtections(left).toStdString(),
                HasSubstr("Refused by this system: file access limited"));
}

TEST(DecoderHelper, WhereTheSystemCallFilterCannotBeInstalledNothingIsDecodedAndTheReasonIsShown)
{
    const auto pool = hostileWith({{"MVTEST_WITHHOLD", "all"}});
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    const imaging::Picture picture = pool->decode(jobFor(png, QStringLiteral("a.png")));
    EXPECT_FALSE(picture.ok());
    EXPECT_TRUE(picture.image.isNull());
    EXPECT_EQ(picture.status.message(),
              "lock down decoder: pictures are not decoded, because this system refused the decoder's "
              "system-call filter");
    // Not the picture's fault: it is not counted against it, and probing is refused the same way.
    EXPECT_FALSE(decoderStopped(picture.status));
    const imaging::PictureInfo info = pool->probe(jobFor(png, QStringLiteral("a.png")));
    EXPECT_FALSE(info.ok());
    EXPECT_EQ(info.status.message(), picture.status.message());
    const Protections left = pool->protections();
    EXPECT_EQ(left.bits & ~std::uint32_t(TimeCap), 0u); // the time cap is set from outside
    EXPECT_EQ(
        describeProtections(left).toStdString(),
        "No picture is decoded: this system refused the system-call filter without which the decoding "
        "process may not run. Refused by this system: system-call filter, file access limited to fonts and "
        "plug-ins, no network, no new privileges, memory cap, no core files.");
}

// The status file of each thread of the locked-down helpers this process started (those whose
// first thread runs under a system-call filter), by helper.
std::vector<std::vector<QByteArray>> lockedDownHelperThreads()
{
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    std::vector<std::vector<QByteArray>> helpers;
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        const QByteArray stat = read(QStringLiteral("/proc/%1/stat").arg(pid));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2 || fields[1].toInt() != ::getpid() ||
            !read(QStringLiteral("/proc/%1/status").arg(pid)).contains("\nSeccomp:\t2\n"))
            continue;
        std::vector<QByteArray> threads;
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
        for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            threads.push_back(read(tasks.filePath(tid + QStringLiteral("/status"))));
        helpers.push_back(threads);
    }
    return helpers;
}

TEST(DecoderHelper, ASecondThreadAliveAtLockdownIsRefused)
{
    // Capabilities, Landlock and no-new-privileges bind only the thread that sets them: a thread
    // left over from the warm-up would decode without them.
    const auto pool = hostileWith({{"MVTEST_LINGERING_THREAD", "1"}});
    const imaging::Picture picture =
        pool->decode(jobFor(mv::test::noisePng(16, 16, 7), QStringLiteral("a.png")));
    EXPECT_FALSE(picture.ok());
    EXPECT_EQ(picture.status.message(),
              "lock down decoder: pictures are not decoded, because the decoder had 2 threads when it "
              "locked itself down, where it must have one");
    if (!pool->protections().has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    // The filter binds the other thread too (TSYNC).
    const auto helpers = lockedDownHelperThreads();
    ASSERT_EQ(helpers.size(), 1u);
    ASSERT_EQ(helpers[0].size(), 2u);
    for (const QByteArray& thread : helpers[0])
        EXPECT_TRUE(thread.contains("\nSeccomp:\t2\n")) << thread.toStdString();
}

// What the hostile helper says to an attack.
std::string outcome(HelperPool& pool, const QByteArray& attackLine)
{
    return pool.decode(jobFor(attack(attackLine.constData()), QStringLiteral("x.png"))).status.reason;
}

constexpr const char* kForbidden = "the decoder was stopped: it tried a forbidden system call";

TEST(DecoderHelper, CapabilitiesInItsUserNamespaceAreDroppedAtLockdown)
{
    const auto started = hostileWith();
    HelperPool& pool = *started;
    const Protections in = pool.protections();
    const QRegularExpressionMatch pid = QRegularExpression(QStringLiteral("^pid (\\d+)$"))
                                            .match(QString::fromStdString(outcome(pool, "pid")));
    ASSERT_TRUE(pid.hasMatch());
    QFile status(QStringLiteral("/proc/%1/status").arg(pid.captured(1)));
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
}

TEST(DecoderHelper, CloneMakesOnlyThreadsAsTheCLibraryMakesThem)
{
    const auto started = hostileWith();
    HelperPool& pool = *started;
    if (!pool.protections().has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses the system-call filter";
    constexpr unsigned long kThread =
        CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD | CLONE_SYSVSEM;
    const struct {
        const char* what;
        unsigned long flags;
    } clones[] = {
        {"a thread in a network namespace of its own", kThread | CLONE_NEWNET},
        {"a thread in a mount namespace of its own", (kThread & ~CLONE_FS) | CLONE_NEWNS},
        {"a process in a user namespace of its own", CLONE_NEWUSER | SIGCHLD},
        {"a process sharing the memory", CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | SIGCHLD},
        {"a process", SIGCHLD},
    };
    for (const auto& c : clones) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(outcome(pool, "clone " + QByteArray::number(qulonglong(c.flags), 16)), kForbidden);
    }
    // The C library's own threads still run (clone3 refused, so that it falls back to clone).
    EXPECT_EQ(outcome(pool, "thread"), "a thread ran");
}

TEST(DecoderHelper, OnlyTheImageFormatPluginFoldersAreReadable)
{
    QTemporaryDir pluginPath;
    ASSERT_TRUE(pluginPath.isValid());
    QFile planted(pluginPath.filePath(QStringLiteral("planted")));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    ASSERT_EQ(planted.write("not a plug-in"), 13);
    planted.close();
    const auto pool = hostileWith({{"QT_PLUGIN_PATH", QFile::encodeName(pluginPath.path())}});
    if (!pool->protections().has(FileRules))
        GTEST_SKIP() << "this kernel refuses Landlock";
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    const QDir imageFormats(plugins.filePath(QStringLiteral("imageformats")));
    const QStringList formatPlugins = imageFormats.entryList(QDir::Files);
    ASSERT_FALSE(formatPlugins.isEmpty());
    const auto read = [&](const QString& path) { return outcome(*pool, "read " + QFile::encodeName(path)); };
    EXPECT_EQ(read(imageFormats.filePath(formatPlugins.first())), "read 16 bytes");
    // Qt's other plug-ins, the program's own folder and a folder of QT_PLUGIN_PATH are not.
    EXPECT_EQ(read(plugins.filePath(QStringLiteral("platforms/libqoffscreen.so"))),
              "open: Permission denied");
    EXPECT_EQ(read(QStringLiteral(MV_HOSTILE_HELPER)), "open: Permission denied");
    EXPECT_EQ(read(planted.fileName()), "open: Permission denied");
}

TEST(DecoderHelper, AFolderMayBeListedWhileOpeningsThatWriteStayRefused)
{
    // The C library's O_TMPFILE carries O_DIRECTORY: a filter that counted it as a writing flag
    // refused every opendir.
    const auto started = hostileWith();
    HelperPool& pool = *started;
    if (!pool.protections().has(FileRules) || !pool.protections().has(SyscallFilter))
        GTEST_SKIP() << "this kernel refuses Landlock or the system-call filter";
    const QString folder =
        QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath)).filePath(QStringLiteral("imageformats"));
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(outcome(pool, "list " + QFile::encodeName(folder)), "listed " + std::to_string(names.size()));
    const QByteArray file = QFile::encodeName(QDir(folder).filePath(names.first()));
    const struct {
        int flags;
        QByteArray path;
        const char* expected;
    } opens[] = {
        {O_RDONLY | O_DIRECTORY, QFile::encodeName(folder), "opened"},
        {O_RDONLY, file, "opened"},
        {O_TMPFILE | O_RDWR, QFile::encodeName(folder), "open: Permission denied"},
        {O_WRONLY, file, "open: Permission denied"},
        {O_RDWR, file, "open: Permission denied"},
        {O_RDONLY | O_TRUNC, file, "open: Permission denied"},
        {O_WRONLY | O_APPEND, file, "open: Permission denied"},
        {O_WRONLY | O_CREAT, QFile::encodeName(folder) + "/new", "open: Permission denied"},
    };
    for (const auto& o : opens) {
        SCOPED_TRACE(o.flags);
        EXPECT_EQ(outcome(pool, "open-with " + QByteArray::number(o.flags, 16) + ' ' + o.path), o.expected);
    }
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

// An answer as a taken-over helper could give it: one frame of 4 x 4 pixels, its table and
// pixels in a memory file whose seals and contents the test chooses.
imaging::Picture answerWith(wire::Frame frame, bool sealSize, std::uint64_t fileBytes = 256,
                            const QByteArray& contents = {}, bool sensitive = false)
{
    ParsedReply reply;
    reply.header.kind = wire::ReplyKind::Picture;
    reply.header.width = 4;
    reply.header.height = 4;
    reply.header.colorDepth = 24;
    reply.header.frameCount = 1;
    fileio::UniqueFd fd = newMemoryFile("test-pixels", fileBytes);
    EXPECT_EQ(::pwrite(fd.get(), &frame, sizeof frame, 0), ssize_t(sizeof frame));
    // The colour table and the pixels, after the frame table.
    EXPECT_EQ(::pwrite(fd.get(), contents.constData(), std::size_t(contents.size()), 64), contents.size());
    if (sealSize) {
        EXPECT_TRUE(sealMemoryFile(fd.get(), sensitive));
    }
    return readPicture(reply, std::move(fd), sensitive);
}

TEST(DecoderHelper, AnAnswerThatDoesNotAddUpIsRefusedNotBelieved)
{
    wire::Frame frame;
    frame.pixelOffset = 64;
    frame.width = 4;
    frame.height = 4;
    frame.bytesPerLine = 16;
    frame.format = QImage::Format_RGB32;
    const imaging::Picture fair = answerWith(frame, true);
    ASSERT_TRUE(fair.ok()) << fair.status.reason;
    EXPECT_EQ(fair.image.size(), QSize(4, 4));

    const auto malformed = [](const imaging::Picture& p) {
        return !p.ok() && decoderStopped(p.status) && p.status.reason == "the decoder's answer was malformed";
    };
    // A file that could still shrink under the mapping.
    EXPECT_TRUE(malformed(answerWith(frame, false)));
    // Pixels past the end of the file, a line too short for its width, no such format, a
    // colour table on a format that has none.
    const std::pair<const char*, void (*)(wire::Frame&)> lies[] = {
        {"past the end", [](wire::Frame& f) { f.height = 400; }},
        {"narrow", [](wire::Frame& f) { f.bytesPerLine = 8; }},
        {"no such format", [](wire::Frame& f) { f.format = QImage::NImageFormats; }},
        {"colours", [](wire::Frame& f) { f.colorCount = 2; }},
    };
    for (const auto& [what, lie] : lies) {
        wire::Frame told = frame;
        lie(told);
        EXPECT_TRUE(malformed(answerWith(told, true))) << what;
    }
}

TEST(DecoderHelper, PixelIndexesPastAShortColourTableAreNotLookedUpPastItsEnd)
{
    // 4 x 4 indexed pixels with a table of two colours, yet indexes up to 255: drawing looks
    // every index up unchecked. The table comes back whole, the missing colours black.
    const QList<QRgb> two {qRgb(255, 0, 0), qRgb(0, 0, 255)};
    QByteArray contents(reinterpret_cast<const char*>(two.constData()), 8);
    contents.append(8, '\0').append(QByteArray::fromHex("00010203"
                                                        "c8c9caff"
                                                        "00010203"
                                                        "c8c9caff"));
    wire::Frame indexed;
    indexed.colorOffset = 64;
    indexed.colorCount = 2;
    indexed.pixelOffset = 80;
    indexed.width = 4;
    indexed.height = 4;
    indexed.bytesPerLine = 4;
    indexed.format = QImage::Format_Indexed8;
    for (const bool sensitive : {false, true}) {
        const imaging::Picture p = answerWith(indexed, true, 256, contents, sensitive);
        ASSERT_TRUE(p.ok()) << p.status.reason;
        ASSERT_EQ(p.image.colorCount(), 256);
        EXPECT_EQ(p.image.color(0), qRgb(255, 0, 0));
        EXPECT_EQ(p.image.color(1), qRgb(0, 0, 255));
        EXPECT_EQ(p.image.color(2), qRgb(0, 0, 0));
        EXPECT_EQ(p.image.color(255), qRgb(0, 0, 0));
        // Drawn smoothly scaled, as the viewer does, the colours are the table's.
        QImage window(8, 8, QImage::Format_ARGB32_Premultiplied);
        window.fill(Qt::white);
        QPainter painter(&window);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, 8, 8), p.image);
        painter.end();
        EXPECT_EQ(window.pixel(7, 7), qRgb(0, 0, 0));
        EXPECT_EQ(window.pixel(0, 0), qRgb(255, 0, 0));
    }

    // A two-colour picture whose table is missing altogether.
    wire::Frame mono = indexed;
    mono.colorCount = 0;
    mono.format = QImage::Format_Mono;
    const imaging::Picture p = answerWith(mono, true, 256, contents);
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(p.image.colorTable(), QList<QRgb>(2, qRgb(0, 0, 0)));
}

} // namespace
} // namespace mv::sandbox
