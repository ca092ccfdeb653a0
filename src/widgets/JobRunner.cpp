#include "widgets/JobRunner.h"

#include "widgets/Job.h"

#include <QWidget>

#include <algorithm>

namespace mv::widgets {

JobRunner::JobRunner(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("JobRunner"));
}

JobRunner* JobRunner::of(const QObject* anywhere)
{
    for (const QObject* o = anywhere; o; o = o->parent()) {
        if (auto* runner = o->findChild<JobRunner*>(QString(), Qt::FindDirectChildrenOnly))
            return runner;
    }
    return nullptr;
}

void JobRunner::stopAll()
{
    stopping_ = true;
    // A job's onStop may end another job or start one; walk a copy.
    const QList<Job*> jobs = jobs_;
    for (Job* job : jobs) {
        if (jobs_.contains(job))
            job->requestStop();
    }
}

bool JobRunner::busy() const
{
    return holds_ > 0 || jobsRunning();
}

bool JobRunner::jobsRunning() const
{
    return std::any_of(jobs_.begin(), jobs_.end(), [](const Job* job) { return job->running(); });
}

bool JobRunner::isJobWindow(const QWidget* window) const
{
    return std::any_of(jobs_.begin(), jobs_.end(),
                       [window](const Job* job) { return job->running() && job->window() == window; });
}

void JobRunner::release()
{
    --holds_;
    ended();
}

void JobRunner::add(Job* job)
{
    jobs_.append(job);
    if (stopping_)
        job->requestStop();
}

void JobRunner::remove(Job* job)
{
    jobs_.removeAll(job);
    ended();
}

void JobRunner::ended()
{
    if (!busy())
        emit idle();
}

} // namespace mv::widgets
