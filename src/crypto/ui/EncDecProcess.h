// `EncDecProcess`: the modal progress dialog of an encryption or decryption run. The batch runs
// on a worker thread, so the dialog repaints and its Cancel answers while a large file is
// worked on; questions the batch has (a key, a file in the way, left-over temporary files) are
// asked here, on the user-interface thread, while the worker waits.
#pragma once

#include "crypto/EncDecBatch.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mv::widgets {
class Job;
} // namespace mv::widgets

namespace mv::crypto {

class EncDecProcess : public QDialog, private EncDecCallbacks {
    Q_OBJECT

public:
    EncDecProcess(EncDecJob job, QWidget* owner);
    ~EncDecProcess() override;

    // Shows the dialog, runs the batch, tells the user how it ended and returns its result.
    EncDecResult run();

    // The questions, replaceable by tests; by default real modal dialogs over this one.
    std::function<bool(const QString& file, KeyState& keys)> keyQuestion;
    std::function<ReplaceAnswer(const QString& file, const QString& target)> replaceQuestion;
    std::function<bool(const QStringList& files)> leftoverQuestion;
    std::function<bool()> cancelQuestion;
    // The closing messages (the passed-over count, the files that failed).
    std::function<void(const QString& text, bool problem)> tell;

    void CancelBut_Click();
    [[nodiscard]] bool Running() const { return running_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool askKey(const QString& file, KeyState& keys) override;
    ReplaceAnswer askReplace(const QString& file, const QString& target) override;
    bool askWipeLeftovers(const QStringList& files) override;
    void progress(const EncDecProgress& progress) override;
    void showProgress(const EncDecProgress& progress);
    void finish();

    const bool encrypt_;
    std::unique_ptr<EncDecBatch> batch_;
    EncDecResult result_;
    widgets::Job* job_ = nullptr;
    bool running_ = false;
    bool exiting_ = false;
    QLabel* EncDecLabel_;
    QLabel* fileLabel_;
    QProgressBar* bar_;
    QPushButton* CancelBut_;
};

} // namespace mv::crypto
