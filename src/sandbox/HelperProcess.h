// One decoder helper, seen from the program: started with one end of a socket pair as its
// descriptor 3 and nothing else of ours, asked one job at a time, and ended with SIGKILL when
// it overruns its time. When it dies, why it died becomes the reason the picture failed.
#pragma once

#include "fileio/Status.h"
#include "fileio/UniqueFd.h"
#include "sandbox/Protections.h"
#include "sandbox/ReplyReader.h"

#include <QString>

#include <memory>
#include <vector>

#include <sys/types.h>

namespace mv::sandbox {

struct JobLimits {
    int cpuSeconds = 60; // of processor time per picture (RLIMIT_CPU, set from here)
    int wallMs = 0;      // then the helper is killed; 0: a multiple of cpuSeconds
};

class HelperProcess {
public:
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Starts program; null, with the reason in *why, when it cannot be started.
    static std::unique_ptr<HelperProcess> start(const QString& program, fileio::Status* why);

    // Waits up to timeoutMs for the helper to say it is locked down and ready (once; later
    // calls return at once). False, with the reason, when it ended or did not answer.
    bool waitReady(int timeoutMs, fileio::Status* why);
    [[nodiscard]] bool ready() const { return ready_; }
    [[nodiscard]] pid_t pid() const { return pid_; }
    // What the helper reported when it was ready, and the time cap if the program could set it.
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

private:
    HelperProcess() = default;
    enum class Ending {
        HungUp,    // it closed its end: it is ending by itself
        Overran,   // it took too long
        Dismissed, // we are done with it
    };
    // Collects it (killing it unless it is ending by itself) and says why it ended: "it crashed".
    QString end(Ending how);
    bool capProcessorTime(int seconds);

    pid_t pid_ = -1;
    fileio::UniqueFd socket_;
    fileio::UniqueFd pidfd_; // held so that no reaper of this program collects it behind our back
    bool ready_ = false;
    bool ended_ = false;
    Protections protections_;
};

// The helper program: $MV_DECODER_HELPER when set (tests and development), else mvdecode beside
// this program, or in the program's private folder once installed.
QString helperProgram();

} // namespace mv::sandbox
