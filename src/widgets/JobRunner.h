// The runner every job of a window registers with (see Job.h). A quit asks it to stop them all:
// each stops at its next safe point, a job that starts afterwards is asked to stop at once,
// and the window waits until none runs. It also keeps whether a stopped job left work undone,
// for the exit status.
#pragma once

#include <QList>
#include <QObject>

class QWidget;

namespace mv::widgets {

class Job;

class JobRunner : public QObject {
    Q_OBJECT

public:
    explicit JobRunner(QObject* parent);

    // The runner of the window `anywhere` lies in (a child of it or of a window it owns), or
    // null when there is none (a dialog tested on its own).
    [[nodiscard]] static JobRunner* of(const QObject* anywhere);

    // Asks every job to stop, and every job started from now on.
    void stopAll();
    [[nodiscard]] bool stopping() const { return stopping_; }
    // The quit was refused (a program of the Secured Access List still runs): jobs run again.
    void resume() { stopping_ = false; }

    // A job's worker runs, or work is held open that a quit must wait for (hold()).
    [[nodiscard]] bool busy() const;
    // A job's worker runs (held work aside).
    [[nodiscard]] bool jobsRunning() const;
    [[nodiscard]] bool isJobWindow(const QWidget* window) const;

    // Work that waits between two jobs (a re-lock queued behind another) keeps the runner
    // busy while held.
    void hold() { ++holds_; }
    void release();

    [[nodiscard]] bool workLeftUndone() const { return undone_; }
    void noteUndone() { undone_ = true; }

signals:
    // No job runs and nothing is held any more.
    void idle();

private:
    friend class Job;
    void add(Job* job);
    void remove(Job* job);
    void ended();

    QList<Job*> jobs_;
    int holds_ = 0;
    bool stopping_ = false;
    bool undone_ = false;
};

} // namespace mv::widgets
