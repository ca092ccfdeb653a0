// The program's decoders: a small pool of helper processes, started ahead so that one is
// always warm, and up to one per core while several pictures are decoded at once. Plain
// pictures share helpers; a helper given decrypted bytes is ended (and collected, so its
// memory is gone) as soon as it has answered, and a warm spare takes its place: no helper
// carries one picture's bytes or pixels into another's answer. A helper that dies, overruns
// or hits a cap is replaced at once and the picture fails with the reason; a picture that
// stops the decoder three times in a row is not tried again until it changes.
// Safe to use from several worker threads; never call it on the user-interface thread but for
// protections().
#pragma once

#include "sandbox/Decoders.h"
#include "sandbox/HelperProcess.h"

#include <QHash>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace mv::sandbox {

struct PoolOptions {
    QString program;     // empty: helperProgram()
    int maxHelpers = 0;  // 0: one per core
    int cpuSeconds = 30; // processor time one picture may take
    int wallMs = 0;      // 0: scaled to the picture's bytes (wallMsFor)
    int startTimeoutMs = 60000;
    bool startWarm = true; // start one helper now, before the first picture
};

// How long a helper may take over a picture of `bytes` before it is killed: a few seconds for
// a small one, more for a large photo, never more than kMaxWallMs. A helper that hangs, or
// that something stopped, costs the user at most that.
int wallMsFor(std::uint64_t bytes);
inline constexpr int kMaxWallMs = 30000;

class HelperPool : public Decoders {
public:
    explicit HelperPool(PoolOptions options = {});
    ~HelperPool() override;
    HelperPool(const HelperPool&) = delete;
    HelperPool& operator=(const HelperPool&) = delete;

    [[nodiscard]] imaging::Picture decode(const DecodeJob& job) override;
    [[nodiscard]] imaging::PictureInfo probe(const DecodeJob& job) override;
    // Those of the helpers started so far; not reported until one has said (never blocks).
    [[nodiscard]] Protections protections() override;

    // The helpers working on a picture now (for the tests that kill one mid-decode).
    [[nodiscard]] std::vector<pid_t> busyHelpers() const;
    // Every helper running, idle or busy.
    [[nodiscard]] std::vector<pid_t> helperPids() const;
    // How many helpers run, idle or busy.
    [[nodiscard]] int helperCount() const;

    static constexpr int kStrikesBeforeRefusal = 3;

private:
    using Helper = std::unique_ptr<HelperProcess>;
    struct Answer {
        HelperProcess::Exchange exchange;
        fileio::Status failure;    // not ok: no helper could be had
        imaging::Picture picture;  // what an answered decode said
        imaging::PictureInfo info; // what an answered probe said
    };

    Answer run(const DecodeJob& job, wire::JobKind kind);
    Helper acquire(bool urgent, fileio::Status* why);
    // Takes back a helper that has answered; one that served decrypted bytes, or is dead or
    // spent, is ended and collected before this returns.
    void release(Helper helper, bool retire);
    // Starts a spare helper when none is idle and there is room; call with mutex_ held.
    void keepOneWarm();
    [[nodiscard]] bool refused(const QString& key) const;
    void countStrike(const QString& key, bool stopped);

    PoolOptions options_;
    int maxHelpers_ = 1;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<Helper> idle_;
    std::vector<pid_t> busy_;
    int count_ = 0;
    int urgentWaiting_ = 0;
    int failedStarts_ = 0; // in a row: no spare is started while helpers fail to start
    Protections protections_;
    QHash<QString, int> strikes_;
};

} // namespace mv::sandbox
