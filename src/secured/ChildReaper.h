// This program as a child subreaper: a process that a launched program started and left
// behind (its parent ended) becomes our child instead of init's, so it can still be counted
// and, once it ends, collected. Normally the launch helper (LaunchProtocol.h), itself a
// subreaper, catches them first; they reach us only when a helper is killed.
//
// A child that ends is collected here only when nothing in this program watches it: the
// watches collect their own, and a child some other part of Qt started (it holds a pidfd for
// it) is left to its owner.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <sys/types.h>

class QSocketNotifier;

namespace mv::secured {

class ChildReaper : public QObject {
    Q_OBJECT

public:
    // The one reaper of this process, made on first use, on the thread of the event loop: a
    // signal handler and the subreaper mark belong to the whole process. It lives as long as
    // the application object.
    static ChildReaper& instance();

    // Whether the kernel accepted this process as a subreaper.
    [[nodiscard]] bool isSubreaper() const { return subreaper_; }

    // A watch takes charge of `pid`, a launch helper or a stray it adopted: it is not collected
    // here. Claims are counted.
    enum class Claim {
        Helper,
        Stray
    };
    void claim(pid_t pid, Claim kind);
    void release(pid_t pid, Claim kind);
    [[nodiscard]] bool isClaimed(pid_t pid) const { return claims_.contains(pid); }

    // Our living children that are no launch helper and that no other part of the program
    // holds a pidfd for: what killed helpers left to us. A stray that one watch adopted is
    // still listed, so a second watch that lost its helper adopts it too: when it cannot be
    // told whose it is, both wait for it.
    [[nodiscard]] QList<pid_t> strayChildren() const;

    // Starts `program` detached so that it is never a child of ours, not even as an orphan
    // (a second window of this program): for the moment of the start this process is no
    // subreaper, so the detached process goes to init, not to us.
    static bool startNotOurs(const QString& program, const QStringList& arguments, qint64* pid = nullptr);

public slots:
    // Collects every ended child that nobody here watches. Runs on each SIGCHLD.
    void reapOrphans();

private:
    ChildReaper();

    QSocketNotifier* wake_ = nullptr;
    QHash<pid_t, int> claims_;  // every claim
    QHash<pid_t, int> helpers_; // the claims of launch helpers
    bool subreaper_ = false;
};

// A process's parent and state letter, from /proc/<pid>/stat; false when it is gone.
bool readProcessStat(pid_t pid, pid_t& parent, char& state);

} // namespace mv::secured
