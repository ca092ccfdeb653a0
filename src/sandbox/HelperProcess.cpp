#include "sandbox/HelperProcess.h"

#include "fileio/RetryInterrupted.h"
#include "fileio/SpawnSignals.h"
#include "sandbox/Channel.h"
#include "sandbox/Decoders.h"
#include "sandbox/Wire.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace mv::sandbox {

namespace {

constexpr const char* kHelperName = "mvdecode";
constexpr int kHangUpGraceMs = 5000;
// Processor time a helper may use across jobs before it is replaced (see allowProcessorTime).
// It is also how long one deaf to SIGXCPU runs on, so it stays short.
constexpr long kReuseSeconds = 2;

std::string tr(const char* text)
{
    return QCoreApplication::translate("mv::sandbox", text).toStdString();
}

// Seconds of processor time process `pid` has used as the kernel counts them against RLIMIT_CPU:
// its profiling clock, sampled at each timer tick. Under load that count runs ahead of the
// exact run time (the scheduler clock, and what wait4 reports) by half a second and more over
// a few seconds, since a tick charges its whole length to whoever runs at it. Readable until
// the process is collected; -1 when it cannot be read.
double processorTimeCounted(pid_t pid)
{
    // The kernel's encoding of a process's clocks (MAKE_PROCESS_CPUCLOCK in
    // linux/posix-timers.h): the pid inverted, then the clock; 0 is the profiling one.
    const clockid_t profiling = clockid_t(~unsigned(pid) << 3);
    timespec used {};
    if (::clock_gettime(profiling, &used) != 0)
        return -1;
    return double(used.tv_sec) + double(used.tv_nsec) / 1e9;
}

fileio::Status stopped(const char* why)
{
    return fileio::Status::failure(kDecoderStoppedStep, tr(why));
}

// Why a helper ended, from its status, in the words the information line shows after "the
// decoder was stopped: " or "the decoder could not be started: ".
QString endOf(int status, bool timedOut, bool outOfTime = false)
{
    const auto says = [](const char* text) { return QCoreApplication::translate("mv::sandbox", text); };
    if (timedOut)
        return says(QT_TRANSLATE_NOOP("mv::sandbox", "it took too long"));
    if (outOfTime)
        return says(QT_TRANSLATE_NOOP("mv::sandbox", "it used up its processor time"));
    if (WIFSIGNALED(status)) {
        switch (WTERMSIG(status)) {
        case SIGSYS: return says(QT_TRANSLATE_NOOP("mv::sandbox", "it tried a forbidden system call"));
        case SIGXCPU: return says(QT_TRANSLATE_NOOP("mv::sandbox", "it used up its processor time"));
        case SIGXFSZ:
            return says(QT_TRANSLATE_NOOP("mv::sandbox", "it needed more memory than a picture may take"));
        case SIGKILL: return says(QT_TRANSLATE_NOOP("mv::sandbox", "it was killed"));
        default: break;
        }
    }
    return says(QT_TRANSLATE_NOOP("mv::sandbox", "it crashed"));
}

fileio::Status stoppedBecause(const QString& end)
{
    return fileio::Status::failure(
        kDecoderStoppedStep,
        QCoreApplication::translate("mv::sandbox", "the decoder was stopped: %1").arg(end).toStdString());
}

// Whether the helper is given this variable of the program's environment. Only what it needs:
// the language, and where fontconfig finds the user's fonts and their cache, so that the text
// of a vector picture is drawn in the helper as it would be here; the library path it was
// linked for; the runtime folder's name, which Qt asks for as it starts (the folder itself
// stays out of the helper's reach). None of the user's tokens, agents, displays or buses reach a hostile
// picture.
bool givenToHelper(std::string_view entry)
{
    static constexpr std::string_view kept[] = {
        "LANG=",
        "LANGUAGE=",
        "LC_",
        "HOME=",
        "XDG_CONFIG_HOME=",
        "XDG_CACHE_HOME=",
        "XDG_DATA_HOME=",
        "FONTCONFIG_FILE=",
        "FONTCONFIG_PATH=",
        "LD_LIBRARY_PATH=",
        "XDG_RUNTIME_DIR=",
#ifdef MV_TEST_BUILD
        // The sanitizers' settings, and the switches of the tests' own helper.
        "ASAN_OPTIONS=",
        "UBSAN_OPTIONS=",
        "LSAN_OPTIONS=",
        "MVTEST_",
#endif
    };
    return std::any_of(std::begin(kept), std::end(kept),
                       [&](std::string_view prefix) { return entry.starts_with(prefix); });
}

std::vector<std::string> helperEnvironment()
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (givenToHelper(*e))
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

} // namespace

QString helperProgram()
{
#ifdef MV_TEST_BUILD
    // The tests choose their own helper (a hostile one, or the build's); a released program
    // runs only the helper installed with it, whatever its environment says.
    const QString chosen = qEnvironmentVariable("MV_DECODER_HELPER");
    if (!chosen.isEmpty())
        return chosen;
#endif
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const QString here = QString::fromStdString(self.parent_path().string()) + u'/';
    const QString beside = here + QString::fromLatin1(kHelperName);
#ifdef MV_INSTALLED_HELPER_DIR
    if (!QFileInfo(beside).isExecutable())
        return here + QStringLiteral(MV_INSTALLED_HELPER_DIR) + u'/' + QString::fromLatin1(kHelperName);
#endif
    return beside;
}

HelperProcess::~HelperProcess()
{
    if (!ended_)
        (void)end(Ending::Dismissed);
}

std::unique_ptr<HelperProcess> HelperProcess::start(const QString& program, int cpuSeconds,
                                                    fileio::Status* why)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        *why = fileio::Status::failure(kDecoderStoppedStep, errno);
        return nullptr;
    }
    std::unique_ptr<HelperProcess> helper(new HelperProcess);
    helper->cpuSeconds_ = std::max(1, cpuSeconds);
    helper->socket_.reset(pair[0]);
    fileio::UniqueFd theirs(pair[1]);
    if (theirs.get() <= wire::kChannelFd) {
        // dup2 onto the same number would leave close-on-exec set.
        theirs.reset(::fcntl(theirs.get(), F_DUPFD_CLOEXEC, wire::kChannelFd + 1));
        if (!theirs.valid()) {
            *why = fileio::Status::failure(kDecoderStoppedStep, errno);
            return nullptr;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
#ifdef NDEBUG
    // A released program keeps the helpers' complaints to itself; a debug build shows them
    // (and the sanitizers' reports) where the program's own go.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#endif
    posix_spawn_file_actions_adddup2(&actions, theirs.get(), wire::kChannelFd);
    posix_spawn_file_actions_addclosefrom_np(&actions, wire::kChannelFd + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    fileio::cleanSignalsOnSpawn(&attributes);

    const std::string path = QFile::encodeName(program).toStdString();
    std::vector<std::string> env = helperEnvironment();
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    const int rc = ::posix_spawn(&helper->pid_, path.c_str(), &actions, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        helper->ended_ = true;
        // Told like a stopped decoder: the picture is not to blame, and the user learns why.
        *why = fileio::Status::failure(kDecoderStoppedStep, rc);
        why->reason = QCoreApplication::translate("mv::sandbox", "the decoder %1 could not be started: %2")
                          .arg(program, QString::fromStdString(fileio::errorText(rc)))
                          .toStdString();
        return nullptr;
    }
    helper->startedAs_ = helper->pid_;
    helper->pidfd_.reset(int(::syscall(SYS_pidfd_open, helper->pid_, 0)));
    return helper;
}

bool HelperProcess::waitReady(int timeoutMs, fileio::Status* why)
{
    if (ready_)
        return true;
    if (ended_) {
        *why = stoppedBecause(endOf(0, false));
        return false;
    }
    Received hello = receiveMessage(socket_.get(), wire::kMaxMessageBytes, timeoutMs);
    wire::Hello h;
    if (timeoutMs == 0 && hello.outcome != Received::Message)
        return false; // only a look: a helper that is not there yet is dealt with when it is needed
    if (hello.outcome != Received::Message || hello.bytes.size() != sizeof h || hello.fd.valid()) {
        const bool timedOut = hello.outcome == Received::TimedOut;
        const QString ended = end(timedOut ? Ending::Overran : Ending::HungUp);
        *why = fileio::Status::failure(
            kDecoderStoppedStep,
            QCoreApplication::translate("mv::sandbox", "the decoder could not be started: %1")
                .arg(timedOut ? QCoreApplication::translate("mv::sandbox", "it did not answer") : ended)
                .toStdString());
        return false;
    }
    std::memcpy(&h, hello.bytes.data(), sizeof h);
    if (h.magic != wire::kHelloMagic) {
        (void)end(Ending::Dismissed);
        *why = stopped(QT_TRANSLATE_NOOP("mv::sandbox", "the decoder was stopped: its answer was malformed"));
        return false;
    }
    ready_ = true;
    protections_.bits = h.protections & ~std::uint32_t(TimeCap | MemoryFileCap);
    protections_.landlockAbi = h.landlockAbi;
    protections_.reported = true;
    // Set before it is given any picture: until then it has run our code on nothing of the user's.
    if (allowProcessorTime())
        protections_.bits |= TimeCap;
    if (capMemoryFiles())
        protections_.bits |= MemoryFileCap;
    return true;
}

long HelperProcess::processorSecondsUsed() const
{
    const double used = processorTimeCounted(pid_);
    return used < 0 ? -1 : long(used);
}

bool HelperProcess::allowProcessorTime()
{
    const long used = processorSecondsUsed();
    if (used < 0)
        return false;
    // SIGXCPU once it has used cpuSeconds_ more, the kernel's SIGKILL a second after that. The
    // hard limit cannot be raised again, so the first one leaves room for a few seconds of
    // further jobs; a helper that has used them is replaced (roomForAnotherJob).
    const long soft = used + 1 + cpuSeconds_;
    const long hard = hardCpuSeconds_ >= 0 ? hardCpuSeconds_ : soft + 1 + kReuseSeconds;
    if (soft + 1 > hard)
        return false;
    const rlimit cap {rlim_t(soft), rlim_t(hard)};
    if (::prlimit(pid_, RLIMIT_CPU, &cap, nullptr) != 0)
        return false;
    hardCpuSeconds_ = hard;
    return true;
}

bool HelperProcess::roomForAnotherJob() const
{
    if (ended_)
        return false;
    if (!protections_.has(TimeCap))
        return true; // nothing to run out of
    const long used = processorSecondsUsed();
    return used >= 0 && used + 1 + cpuSeconds_ + 1 <= hardCpuSeconds_;
}

bool HelperProcess::capMemoryFiles()
{
    // A memory file counts against no address-space cap until it is mapped: without these a
    // helper could fill the machine's memory with files it writes and keeps open.
    const rlimit size {rlim_t(kMaxHelperFileBytes), rlim_t(kMaxHelperFileBytes)};
    const rlimit files {rlim_t(kMaxHelperDescriptors), rlim_t(kMaxHelperDescriptors)};
    return ::prlimit(pid_, RLIMIT_FSIZE, &size, nullptr) == 0 &&
           ::prlimit(pid_, RLIMIT_NOFILE, &files, nullptr) == 0;
}

HelperProcess::Exchange HelperProcess::run(const std::vector<char>& request, int bytesFd,
                                           const JobLimits& limits)
{
    Exchange out;
    // A helper whose time cap no longer fits a whole job is not given one.
    const bool capped = !protections_.has(TimeCap) || allowProcessorTime();
    if (ended_ || !capped || !sendMessage(socket_.get(), request.data(), request.size(), bytesFd)) {
        if (!ended_)
            (void)end(Ending::Dismissed);
        out.outcome = Exchange::NotSent;
        return out;
    }
    Received answer = receiveMessage(socket_.get(), wire::kMaxMessageBytes, std::max(1, limits.wallMs));
    if (answer.outcome != Received::Message) {
        out.stop =
            stoppedBecause(end(answer.outcome == Received::TimedOut ? Ending::Overran : Ending::HungUp));
        return out;
    }
    if (!parseReply(answer.bytes, out.reply)) {
        (void)end(Ending::Dismissed);
        out.stop =
            stopped(QT_TRANSLATE_NOOP("mv::sandbox", "the decoder was stopped: its answer was malformed"));
        return out;
    }
    if (out.reply.header.kind == wire::ReplyKind::OutOfMemory) {
        (void)end(Ending::Dismissed);
        out.stop = stopped(QT_TRANSLATE_NOOP(
            "mv::sandbox", "the decoder was stopped: it needed more memory than a picture may take"));
        return out;
    }
    out.outcome = Exchange::Answered;
    out.pixels = std::move(answer.fd);
    return out;
}

QString HelperProcess::end(Ending how)
{
    ended_ = true;
    socket_.reset();
    if (pid_ <= 0)
        return endOf(0, false);
    // A helper that hung up is ending: it is given a moment to finish, so that its status says
    // why. One that overran, or that we are done with, is killed. Either way it is collected
    // here.
    if (how == Ending::HungUp && pidfd_.valid()) {
        pollfd exited {pidfd_.get(), POLLIN, 0};
        (void)fileio::retryInterrupted([&] { return ::poll(&exited, 1, kHangUpGraceMs); });
    }
    // Read before it is collected, when the count is gone; of one still running it is not used.
    const double counted = processorTimeCounted(pid_);
    int status = 0;
    rusage usage {};
    bool killedHere = false;
    if (fileio::retryInterrupted([&] { return ::wait4(pid_, &status, WNOHANG, &usage); }) == 0) {
        ::kill(pid_, SIGKILL);
        killedHere = true;
        (void)fileio::retryInterrupted([&] { return ::wait4(pid_, &status, 0, &usage); });
    }
    pid_ = -1;
    pidfd_.reset();
    // A SIGKILL we did not send, once it had used all its hard limit allows, was the kernel's:
    // measured on the kernel's own count. The exact run time wait4 reports (for when that count
    // was read too early or not at all) falls short of it under load; a margin allows for some.
    const double exact = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const double used = std::max(counted, exact + 0.5);
    const bool outOfTime = !killedHere && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL &&
                           hardCpuSeconds_ >= 0 && used >= double(hardCpuSeconds_);
    return endOf(status, how == Ending::Overran, outOfTime);
}

} // namespace mv::sandbox
