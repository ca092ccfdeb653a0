// Starts the entries chosen from the Secured Access List: the entry's files are decrypted in
// EncStat, the program is started and watched with everything it starts, and when all of it
// has ended the files are encrypted again with the key that opened them. Several entries may
// run at once; their re-locks take turns. At start-up it offers to encrypt again the files that
// a run cut short (a crash, a kill) or a failed re-lock left plain, once every process of that
// run has let go of them.
#pragma once

#include "secured/Launch.h"
#include "secured/LaunchGate.h"

#include <QObject>
#include <QSet>

#include <functional>

class QWidget;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::secured {

class QuickListState;

class QuickListLauncher : public QObject {
    Q_OBJECT

public:
    // `window` owns the windows opened here; `minimize` minimizes it (keeping the state it
    // had) and `restore` gives it that state back; `note` writes the information line.
    QuickListLauncher(QuickListState& state, crypto::KeyState& keys, QWidget* window,
                      std::function<void()> minimize, std::function<void()> restore,
                      std::function<void(const QString&)> note);

    // Starts entry `n` (QuickListState::entryChosen lands here).
    void start(int n);
    // Offers to encrypt the files of runs that ended without their re-lock.
    void offerLeftPlain();

    // The questions and messages, replaceable by tests; modal message boxes by default.
    std::function<bool(const QString& question)> ask;
    std::function<void(const QString& text)> tell;
    LaunchOptions options;

private:
    LaunchHooks hooksFor(const LaunchEntry& entry, std::shared_ptr<crypto::SecretText> opened);
    // Asks the key of the entry `name` twice (AsscKey) until it opens each of `files` that is
    // still encrypted; empty when cancelled.
    crypto::SecretText askEntryKey(const QString& name, const QStringList& files);
    // What the user hears once a launch has ended.
    void tellEnd(const LaunchEntry& entry, const LaunchEnd& end);
    // Encrypts the files a lost run left plain with `key` once nothing holds them.
    void recover(const LeftJournal& run, crypto::SecretText key);
    [[nodiscard]] QString journals() const;
    // The window's jobs are asked to stop: the program is ending.
    [[nodiscard]] bool stopping() const;
    // A start or re-lock left files plain while the program ends: the exit status says so.
    void leftUndone();

    QuickListState& state_;
    crypto::KeyState& keys_;
    QWidget* window_;
    std::function<void()> minimize_;
    std::function<void()> restore_;
    std::function<void(const QString&)> note_;
    LaunchGate gate_;
    QSet<int> starting_; // entries between the choice and their program's start
    bool startedAny_ = false;
};

} // namespace mv::secured
