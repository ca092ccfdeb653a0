// One long piece of work of the window (a batch, a list job, a delete, a thumbnail build, a
// program's start ...) on a worker thread of its own, under one contract: requestStop() asks
// it to stop at its next safe point, and ended() comes on the user-interface thread only once
// its worker has returned. A window that shows a job closes only after that, so no worker ever
// writes into a window that is gone. Every job registers with the JobRunner of the window it
// belongs to, which is how a quit reaches them all.
#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

class QThread;
class QWidget;

namespace mv::widgets {

class JobRunner;

class Job : public QObject {
    Q_OBJECT

public:
    // `owner` places the job under a window and its runner; `window` is the dialog that shows
    // it, if any (it is never closed from outside while the job runs).
    explicit Job(QObject* owner, QWidget* window = nullptr);
    // Waits for a worker that still runs. An owner whose members the worker uses destroys its
    // job first, so that nothing the worker reaches goes before it.
    ~Job() override;

    // Runs `work` on a worker thread; ended() follows once it has returned.
    void start(std::function<void()> work);
    // start(), then waits in `window`'s exec() (or in a local event loop without a window)
    // until the worker has ended and the window was closed by `onEnded`.
    void runModal(std::function<void()> work);

    // For work that runs on a pool of its own (the thumbnail build): the job runs from begin()
    // until end(), and its onStop stops that pool's work.
    void begin();
    void end();

    // Asks the job to stop at its next safe point: the flag the worker reads turns, and
    // `onStop` (on this thread) wakes what the worker may wait on. Once is enough.
    void requestStop();
    [[nodiscard]] bool stopRequested() const { return stop_.load(); }
    [[nodiscard]] const std::atomic<bool>& stopFlag() const { return stop_; }
    [[nodiscard]] bool running() const { return worker_ != nullptr || elsewhere_; }
    [[nodiscard]] QWidget* window() const { return window_; }
    // The job's work was left unfinished by a stop (files left plain, a run cut short): the
    // program's exit status tells it.
    void leftUndone();

    std::function<void()> onStop;
    // On this thread once the worker has returned; a modal job closes its window here.
    std::function<void()> onEnded;

signals:
    void ended();

private:
    void finish();
    void announceEnded();

    QPointer<JobRunner> runner_;
    QWidget* window_;
    QThread* worker_ = nullptr;
    bool elsewhere_ = false;
    std::atomic<bool> stop_ = false;
};

} // namespace mv::widgets
