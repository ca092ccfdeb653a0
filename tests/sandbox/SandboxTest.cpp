// The decoder helper as the program meets it: a taken-over decoder is stopped by the kernel or
// the caps whatever it tries, the caller learns why, and the next picture decodes normally; no
// helper keeps a decrypted picture for a later one; a helper runs under hard limits and with
// none of the user's environment, and one that is stopped costs a picture seconds, not
// minutes; a picture that keeps stopping the decoder is refused until it changes; vector
// pictures are drawn in the helper exactly as in this process; and the program believes
// nothing a helper's answer says that does not add up.
#include "sandbox/HelperPool.h"
#include "sandbox/MemoryFile.h"
#include "sandbox/ReplyReader.h"
#include "sandbox/helper/InProcessDecoders.h"
#include "support/NoisePicture.h"
#include "support/QtAppEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <memory>

#include <unistd.h>

// Drawing text in this process, to compare, needs the GUI application (the helper has its own).
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QGuiApplication>("sandbox_tests");

namespace mv::sandbox {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

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

TEST(DecoderHelper, WhereTheKernelRefusesEveryProtectionPicturesStillDecodeAndAboutSaysSo)
{
    qputenv("MVTEST_WITHHOLD", "all");
    HelperPool pool(hostile());
    qunsetenv("MVTEST_WITHHOLD");
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    const imaging::Picture picture = pool.decode(jobFor(png, QStringLiteral("a.png")));
    ASSERT_TRUE(picture.ok()) << picture.status.reason;
    EXPECT_EQ(picture.image, InProcessDecoders().decode(jobFor(png, QStringLiteral("a.png"))).image);
    const Protections left = pool.protections();
    // The time and memory-file caps are set from outside.
    EXPECT_EQ(left.bits & ~std::uint32_t(TimeCap | MemoryFileCap), 0u);
    const QString about = describeProtections(left);
    EXPECT_THAT(about.toStdString(),
                HasSubstr("Refused by this system: system-call filter, file access limited"));
}

pid_t helperPidOf(HelperPool& pool)
{
    const QByteArray bytes = attack("pid");
    const imaging::Picture said = pool.decode(jobFor(bytes, QStringLiteral("pid.png")));
    return pid_t(QString::fromStdString(said.status.reason).section(u' ', 1).toInt());
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
    EXPECT_EQ(shown.image, InProcessDecoders().decode(jobFor(png, QStringLiteral("s.png"))).image);
    // Ended and collected before the picture came back, and a spare started in its place.
    EXPECT_THAT(pool.helperPids(), Not(Contains(plain)));
    EXPECT_TRUE(reaped(plain));
    EXPECT_EQ(pool.helperPids().size(), 1u);
    // The copy a taken-over helper kept is gone with it: no later plain picture shows it.
    EXPECT_EQ(pool.decode(jobFor(attack("replay"), QStringLiteral("r.png"))).status.reason,
              "nothing was kept");

    // Looking into decrypted bytes ends a helper too.
    const pid_t next = helperPidOf(pool);
    EXPECT_NE(next, plain);
    EXPECT_TRUE(pool.probe(secret).status.ok);
    EXPECT_TRUE(reaped(next));
    EXPECT_NE(helperPidOf(pool), next);
}

// Sets variables for the lifetime of the object, as the session around the program would.
class SessionVariables {
public:
    explicit SessionVariables(std::map<QByteArray, QByteArray> set) : set_(std::move(set))
    {
        for (const auto& [name, value] : set_) {
            if (qEnvironmentVariableIsSet(name.constData()))
                before_[name] = qgetenv(name.constData());
            qputenv(name.constData(), value);
        }
    }
    ~SessionVariables()
    {
        for (const auto& [name, value] : set_)
            if (before_.count(name))
                qputenv(name.constData(), before_[name]);
            else
                qunsetenv(name.constData());
    }
    SessionVariables(const SessionVariables&) = delete;
    SessionVariables& operator=(const SessionVariables&) = delete;

private:
    std::map<QByteArray, QByteArray> set_;
    std::map<QByteArray, QByteArray> before_;
};

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

TEST(DecoderHelper, AHelperRunsUnderHardLimitsAndWithNoneOfTheUsersEnvironment)
{
    std::unique_ptr<HelperPool> pool;
    {
        const SessionVariables session({{"SSH_AUTH_SOCK", "/run/user/1000/ssh-agent.socket"},
                                        {"XAUTHORITY", "/run/user/1000/xauth_abc"},
                                        {"DISPLAY", ":0"},
                                        {"WAYLAND_DISPLAY", "wayland-0"},
                                        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus"},
                                        {"GITHUB_TOKEN", "ghp_0123456789"},
                                        {"QT_PLUGIN_PATH", "/tmp/plugins"},
                                        {"LANG", "C.UTF-8"},
                                        // Leaves the helper dumpable, so that its environment can be read.
                                        {"MVTEST_WITHHOLD", "all"}});
        PoolOptions options = hostile();
        options.cpuSeconds = 5;
        pool = std::make_unique<HelperPool>(options);
    }
    const QByteArray png = mv::test::noisePng(16, 16, 7);
    ASSERT_TRUE(pool->decode(jobFor(png, QStringLiteral("a.png"))).ok());
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
    for (const char* name :
         {"SSH_AUTH_SOCK", "XAUTHORITY", "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
          "GITHUB_TOKEN", "QT_PLUGIN_PATH", "MV_DECODER_HELPER"})
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
    ASSERT_TRUE(pool.decode(jobFor(png, QStringLiteral("a.png"))).ok());
    const pid_t stopped = pool.helperPids().front();
    ASSERT_EQ(::kill(stopped, SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    const imaging::Picture p = pool.decode(jobFor(png, QStringLiteral("a.png")));
    EXPECT_LE(clock.elapsed(), wallMsFor(std::uint64_t(png.size())) + 3000);
    EXPECT_TRUE(decoderStopped(p.status));
    EXPECT_EQ(p.status.reason, "the decoder was stopped: it took too long");
    EXPECT_TRUE(reaped(stopped));
    EXPECT_THAT(pool.helperPids(), Not(Contains(stopped)));
    EXPECT_TRUE(pool.decode(jobFor(png, QStringLiteral("a.png"))).ok());
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
