#include "widgets/Job.h"

#include "widgets/JobRunner.h"

#include <QDialog>
#include <QEventLoop>
#include <QThread>

#include <utility>

namespace mv::widgets {

Job::Job(QObject* owner, QWidget* window) : QObject(owner), runner_(JobRunner::of(owner)), window_(window)
{
    if (runner_)
        runner_->add(this);
}

Job::~Job()
{
    // The owner has already taken down what onStop would reach; the worker is only waited for.
    stop_ = true;
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
    if (runner_)
        runner_->remove(this);
}

void Job::start(std::function<void()> work)
{
    Q_ASSERT(!worker_);
    worker_ = QThread::create(std::move(work));
    // Started during a quit (or asked already while it was made): onStop runs before the
    // first step, with the job's owner now ready for it.
    if (stopRequested() || (runner_ && runner_->stopping())) {
        stop_ = true;
        if (onStop)
            onStop();
    }
    connect(worker_, &QThread::finished, this, &Job::finish);
    worker_->start();
}

void Job::runModal(std::function<void()> work)
{
    start(std::move(work));
    // The window refuses every close until the worker has ended, and onEnded closes it; should
    // anything end its loop sooner, the wait below still holds until the worker is done.
    if (auto* dialog = qobject_cast<QDialog*>(window_))
        dialog->exec();
    if (worker_) {
        QEventLoop loop;
        connect(this, &Job::ended, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void Job::begin()
{
    elsewhere_ = true;
    if (runner_ && runner_->stopping())
        requestStop();
}

void Job::end()
{
    if (std::exchange(elsewhere_, false))
        announceEnded();
}

void Job::requestStop()
{
    if (stop_.exchange(true))
        return;
    if (onStop)
        onStop();
}

void Job::leftUndone()
{
    if (runner_)
        runner_->noteUndone();
}

void Job::finish()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    if (onEnded)
        onEnded();
    announceEnded();
}

void Job::announceEnded()
{
    emit ended();
    if (runner_)
        runner_->ended();
}

} // namespace mv::widgets
