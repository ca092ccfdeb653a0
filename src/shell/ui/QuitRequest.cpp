#include "shell/ui/QuitRequest.h"

#include "widgets/JobRunner.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace mv::shell {

namespace {

// A dialog's own loop ends only once control is back in it; give each a moment between steps.
constexpr int kStepMs = 20;

// Answers `question` as its Cancel would. A box that refuses to close that way (a title that
// must not be blank) is hidden all the same: hiding ends its loop with no answer, which its
// caller takes as a cancel.
void cancel(QWidget* question)
{
    auto* dialog = qobject_cast<QDialog*>(question);
    if (!dialog) {
        question->close();
        return;
    }
    dialog->reject();
    if (dialog->isVisible())
        dialog->hide();
}

} // namespace

QuitRequest::QuitRequest(QWidget* window, widgets::JobRunner& runner)
    : QObject(window), window_(window), runner_(runner)
{
    next_.setSingleShot(true);
    next_.setInterval(kStepMs);
    connect(&next_, &QTimer::timeout, this, &QuitRequest::step);
}

void QuitRequest::request()
{
    if (requested_)
        return;
    requested_ = true;
    // Every job first, so that none of them asks a question while the others close.
    runner_.stopAll();
    step();
}

void QuitRequest::requestStop()
{
    if (requested_)
        return;
    bySignal_ = true;
    waitingForPrograms_.invalidate();
    request();
}

void QuitRequest::step()
{
    QWidget* top = QApplication::activeModalWidget();
    if (top && !runner_.isJobWindow(top)) {
        cancel(top);
        next_.start();
        return;
    }
    // A job's window closes itself once its worker has ended.
    if (top || runner_.jobsRunning()) {
        next_.start();
        return;
    }
    // Work held between two jobs (a re-lock waiting for a file's holder or its turn), or, under
    // a stop signal, a listed program that still runs.
    if (runner_.busy() || (bySignal_ && programsRun && programsRun())) {
        if (!bySignal_) {
            next_.start();
            return;
        }
        if (!waitingForPrograms_.isValid())
            waitingForPrograms_.start();
        if (waitingForPrograms_.elapsed() < programWaitMs) {
            next_.start();
            return;
        }
        if (leavePrograms)
            leavePrograms();
    }
    if (!window_->close()) {
        // Refused: a program of the Secured Access List still runs with its files plain. The
        // user has been told; the window goes on, and so may its jobs.
        requested_ = false;
        bySignal_ = false;
        runner_.resume();
    }
}

} // namespace mv::shell
