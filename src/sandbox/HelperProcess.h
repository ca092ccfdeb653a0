// One decoder helper, seen from the program: started with one end of a socket pair as its
// descriptor 3, an environment of a few harmless variables and nothing else of ours, asked one
// job at a time, and ended with SIGKILL when it overruns its time. Once it is ready, the kernel
// bounds what it may use from outside: processor time per job (a hard limit just above the
// soft one, so a helper that ignores SIGXCPU is killed), the size of any file it writes (its
// memory files too) and how many descriptors it holds. When it dies, why it died becomes the
// reason the picture failed.
#pragma once

#include "fileio/Status.h"
#include "fileio/UniqueFd.h"
#include "imaging/base/DecodeLimits.h"
#include "sandbox/Protections.h"
#include "sandbox/ReplyReader.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include <sys/types.h>

namespace mv::sandbox {

struct JobLimits {
    int wallMs = 30000; // then the helper is killed
};

// The largest file a helper may write: the pixels of the largest picture and their tables.
inline constexpr std::uint64_t kMaxHelperFileBytes =
    std::uint64_t(imaging::kMaxDecodedBytes) + (std::uint64_t(64) << 20);
// Descriptors a helper may hold: its standard ones, the channel, a job's bytes and its reply,
// and a few for fonts while a vector picture is drawn.
inline constexpr int kMaxHelperDescriptors = 16;

class HelperProcess {
public:
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Starts program, which will be allowed cpuSeconds of processor time per job; null, with
    // the reason in *why, when it cannot be started.
    static std::unique_ptr<HelperProcess> start(const QString& program, int cpuSeconds, fileio::Status* why);

    // Waits up to timeoutMs for the helper to say it is locked down and ready (once; later
    // calls return at once). False, with the reason, when it ended or did not answer.
    bool waitReady(int timeoutMs, fileio::Status* why);
    [[nodiscard]] bool ready() const { return ready_; }
    // Its process id, also once it has ended (so that the pool can forget it by that id).
    [[nodiscard]] pid_t pid() const { return startedAs_; }
    // What the helper reported when it was ready, and the caps the program set from outside.
    [[nodiscard]] Protections protections() const { return protections_; }

    struct Exchange {
        enum Outcome {
            Answered, // reply (and pixels, if any) hold its answer; the helper goes on
            NotSent,  // the helper was gone before it got the job: nothing to blame on the job
            Stopped,  // the helper died, overran or answered nonsense: stop says why; it is gone
        } outcome = Stopped;
        ParsedReply reply;
        fileio::UniqueFd pixels;
        fileio::Status stop;
    };
    // Sends the request with the memory file of its bytes and waits for the answer.
    Exchange run(const std::vector<char>& request, int bytesFd, const JobLimits& limits);

    // Ends it now: the program refused its answer, so it gets no other job.
    void dismiss()
    {
        if (!ended_)
            (void)end(Ending::Dismissed);
    }

    // Whether it is still usable (it has not died or been stopped).
    [[nodiscard]] bool alive() const { return !ended_; }
    // Whether its processor-time limit leaves room for one more job. The hard limit can only
    // come down, so a helper lasts a few seconds of processor time and is then replaced.
    [[nodiscard]] bool roomForAnotherJob() const;

private:
    HelperProcess() = default;
    enum class Ending {
        HungUp,    // it closed its end: it is ending by itself
        Overran,   // it took too long
        Dismissed, // we are done with it
    };
    // Collects it (killing it unless it is ending by itself) and says why it ended: "it crashed".
    QString end(Ending how);
    // Seconds of processor time it has used, as the kernel counts them against its limit; -1
    // when that cannot be read.
    [[nodiscard]] long processorSecondsUsed() const;
    // Lets it use cpuSeconds_ more of processor time: SIGXCPU then, SIGKILL by the kernel a
    // second later. False when the hard limit leaves too little.
    bool allowProcessorTime();
    bool capMemoryFiles();

    pid_t pid_ = -1; // -1 once collected
    pid_t startedAs_ = -1;
    fileio::UniqueFd socket_;
    fileio::UniqueFd pidfd_; // held so that no reaper of this program collects it behind our back
    int cpuSeconds_ = 30;
    long hardCpuSeconds_ = -1; // -1: not set (yet)
    bool ready_ = false;
    bool ended_ = false;
    Protections protections_;
};

// The helper program: mvdecode beside this program, or in the program's private folder once
// installed; in a test build, $MV_DECODER_HELPER when set.
QString helperProgram();

} // namespace mv::sandbox
