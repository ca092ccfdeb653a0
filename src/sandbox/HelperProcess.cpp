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

std::string tr(const char* text)
{
    return QCoreApplication::translate("mv::sandbox", text).toStdString();
}

fileio::Status stopped(const char* why)
{
    return fileio::Status::failure(kDecoderStoppedStep, tr(why));
}

// Why a helper ended, from its status, in the words the information line shows after "the
// decoder was stopped: " or "the decoder could not be started: ".
QString endOf(int status, bool timedOut)
{
    const auto says = [](const char* text) { return QCoreApplication::translate("mv::sandbox", text); };
    if (timedOut)
        return says(QT_TRANSLATE_NOOP("mv::sandbox", "it took too long"));
    if (WIFSIGNALED(status)) {
        switch (WTERMSIG(status)) {
        case SIGSYS: return says(QT_TRANSLATE_NOOP("mv::sandbox", "it tried a forbidden system call"));
        case SIGXCPU: return says(QT_TRANSLATE_NOOP("mv::sandbox", "it used up its processor time"));
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

// The program's environment, minus what would lead the helper to a display or a bus, with
// Qt told to draw off-screen.
std::vector<std::string> helperEnvironment()
{
    static const char* const dropped[] = {"DISPLAY=",
                                          "WAYLAND_DISPLAY=",
                                          "QT_QPA_PLATFORM=",
                                          "QT_QPA_PLATFORMTHEME=",
                                          "DBUS_SESSION_BUS_ADDRESS=",
                                          "SESSION_MANAGER="};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (std::none_of(std::begin(dropped), std::end(dropped),
                         [&](const char* d) { return entry.starts_with(d); }))
            env.push_back(entry);
    }
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

} // namespace

QString helperProgram()
{
    const QString chosen = qEnvironmentVariable("MV_DECODER_HELPER");
    if (!chosen.isEmpty())
        return chosen;
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

std::unique_ptr<HelperProcess> HelperProcess::start(const QString& program, fileio::Status* why)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        *why = fileio::Status::failure(kDecoderStoppedStep, errno);
        return nullptr;
    }
    std::unique_ptr<HelperProcess> helper(new HelperProcess);
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
        *why = stopped(QT_TRANSLATE_NOOP("mv::sandbox", "the decoder's answer was malformed"));
        return false;
    }
    ready_ = true;
    protections_.bits = h.protections & ~std::uint32_t(TimeCap);
    protections_.landlockAbi = h.landlockAbi;
    protections_.reported = true;
    if (capProcessorTime(60))
        protections_.bits |= TimeCap;
    return true;
}

bool HelperProcess::capProcessorTime(int seconds)
{
    clockid_t clock;
    timespec used {};
    if (::clock_getcpuclockid(pid_, &clock) != 0 || ::clock_gettime(clock, &used) != 0)
        return false;
    rlimit current {};
    if (::prlimit(pid_, RLIMIT_CPU, nullptr, &current) != 0)
        return false;
    // The soft limit only: the helper gets SIGXCPU when it has used this much more.
    const rlim_t wanted = rlim_t(used.tv_sec) + 1 + rlim_t(seconds);
    const rlimit cap {std::min(wanted, current.rlim_max), current.rlim_max};
    return ::prlimit(pid_, RLIMIT_CPU, &cap, nullptr) == 0;
}

HelperProcess::Exchange HelperProcess::run(const std::vector<char>& request, int bytesFd,
                                           const JobLimits& limits)
{
    Exchange out;
    if (ended_ || !sendMessage(socket_.get(), request.data(), request.size(), bytesFd)) {
        if (!ended_)
            (void)end(Ending::Dismissed);
        out.outcome = Exchange::NotSent;
        return out;
    }
    (void)capProcessorTime(limits.cpuSeconds);
    const int wallMs = limits.wallMs > 0 ? limits.wallMs : limits.cpuSeconds * 3000 + 10000;
    Received answer = receiveMessage(socket_.get(), wire::kMaxMessageBytes, wallMs);
    if (answer.outcome != Received::Message) {
        out.stop =
            stoppedBecause(end(answer.outcome == Received::TimedOut ? Ending::Overran : Ending::HungUp));
        return out;
    }
    if (!parseReply(answer.bytes, out.reply)) {
        (void)end(Ending::Dismissed);
        out.stop = stopped(QT_TRANSLATE_NOOP("mv::sandbox", "the decoder's answer was malformed"));
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
    int status = 0;
    if (fileio::retryInterrupted([&] { return ::waitpid(pid_, &status, WNOHANG); }) == 0) {
        ::kill(pid_, SIGKILL);
        (void)fileio::retryInterrupted([&] { return ::waitpid(pid_, &status, 0); });
    }
    pid_ = -1;
    pidfd_.reset();
    return endOf(status, how == Ending::Overran);
}

} // namespace mv::sandbox
