// `EncStat`: the small modal window that runs a list job and shows the file in hand. The job
// runs on a worker thread, so the window repaints while a large file is worked on; what the
// job must ask (a key, a file in the way) is asked here, on the user-interface thread, while
// the worker waits. It closes itself when the job ends, and only then.
//
// Asked to stop (the program is ending), a decryption ends after the file in hand; an
// encryption goes on to its last file, since every file it leaves would stay plain. Either way
// nothing more is asked: a question counts as cancelled.
#pragma once

#include "secured/ListJobs.h"

#include "widgets/WaitCursor.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::widgets {
class Job;
} // namespace mv::widgets

namespace mv::secured {

class EncStat : public QDialog, private ListJobCallbacks {
    Q_OBJECT

public:
    // `EncryptFileList` over `JobFiles` with `key`. Without `tellFailure` a failed file is not
    // told here: the caller tells it once, with what it means for the other files.
    static ListJobResult encrypt(const QString& JobFiles, const crypto::SecretText& key,
                                 crypto::KeyState& keys, QWidget* owner, bool tellFailure = true);
    // `DecryptFileList` over `JobFiles` with the key cache; the key that opened the last file
    // becomes `CurrentKey`.
    static ListJobResult decrypt(const QString& JobFiles, crypto::KeyState& keys, QWidget* owner);

    EncStat(bool encrypt, crypto::KeyState& keys, QWidget* owner);
    ~EncStat() override;
    // Shows the window centred over its owner, runs `job` on a worker, tells how it stopped
    // when it failed, and closes. `options` carry the stop flag of this window's job.
    ListJobResult run(const std::function<ListJobResult(ListJobCallbacks&, const ListJobOptions&)>& job);

    // The questions and messages, replaceable by tests; by default modal dialogs over this one.
    std::function<bool(const QString& file, crypto::KeyState& keys)> keyQuestion;
    std::function<ReplaceAnswer(const QString& file, const QString& target)> replaceQuestion;
    std::function<void(const QString& text)> tell;

    // The message a failed file gives.
    [[nodiscard]] static QString errorText(const QString& file, const QString& reason);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool askKey(const QString& file, crypto::KeyState& keys) override;
    ReplaceAnswer askReplace(const QString& file, const QString& target) override;
    void fileInHand(const QString& file) override;
    void unableToOpen(const QString& file, const QString& reason) override;
    void finish();

    crypto::KeyState& keys_;
    const bool encrypt_;
    bool tellFailure_ = true;
    ListJobResult result_;
    widgets::Job* job_;
    widgets::WaitCursor waitCursor_;
    QLabel* Label1_;
    QLineEdit* Stat_;
};

} // namespace mv::secured
