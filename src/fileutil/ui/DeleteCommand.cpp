#include "fileutil/ui/DeleteCommand.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "fileutil/WipeReach.h"
#include "fileutil/ui/DeleteQuestions.h"
#include "fileutil/ui/DeleteStatus.h"
#include "viewing/ui/SelectionViewer.h"
#include "widgets/Job.h"
#include "widgets/JobRunner.h"

#include <QAction>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace mv::fileutil {

namespace {

// A trash run shows its window only when it takes longer than this: most are over at once.
constexpr int kTrashStatusDelayMs = 400;

} // namespace

DeleteCommand::DeleteCommand(browser::BrowserPane& browser, viewing::SelectionViewer& viewer,
                             QAction* deleteItem, QAction* safeDeleteItem, QWidget* window,
                             std::function<void(bool)> storeSafeDelete)
    : QObject(window), browser_(browser), viewer_(viewer), deleteItem_(deleteItem),
      safeDeleteItem_(safeDeleteItem), window_(window), storeSafeDelete_(std::move(storeSafeDelete))
{
    confirm = [this](int count, bool safe, const QString& warning) {
        return confirmDelete(window_, count, safe, warning);
    };
    askGoOn = [this](const desktop::FileFailure& f) {
        return askGoOnAfterFailure(status_ ? static_cast<QWidget*>(status_) : window_, f);
    };
    tellNotTrashed = [this](const QList<desktop::FileFailure>& f) { fileutil::tellNotTrashed(window_, f); };
    storageWarning = [](const QString& folder) {
        return wipeReachWarning(wipeReach(readStorageFacts(folder)));
    };

    safeDeleteItem_->setEnabled(true);
    connect(deleteItem_, &QAction::triggered, this, &DeleteCommand::MenuDelete_Click);
    connect(safeDeleteItem_, &QAction::triggered, this, &DeleteCommand::mnuSafeDelete_Click);
    connect(&inspecting_, &QFutureWatcher<QString>::finished, this,
            [this] { askAndRun(inspecting_.result()); });
    browser::FileListView* list = browser_.fileList();
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DeleteCommand::updateEnabled);
    connect(list->model(), &QAbstractItemModel::modelReset, this, &DeleteCommand::updateEnabled);
    updateEnabled();
}

DeleteCommand::~DeleteCommand()
{
    inspecting_.waitForFinished();
    stopRun();
    delete job_;
}

void DeleteCommand::stopRun()
{
    {
        std::lock_guard lock(gateMutex_);
        stop_ = true;
    }
    gate_.notify_all();
}

bool DeleteCommand::SafeDeleteMode() const
{
    return safeDeleteItem_->isChecked();
}

void DeleteCommand::mnuSafeDelete_Click()
{
    // The check mark turned with the click.
    storeSafeDelete_(SafeDeleteMode());
}

QStringList DeleteCommand::selectedInListOrder() const
{
    const browser::FileListView* list = browser_.fileList();
    QList<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QStringList names;
    for (int row : rows)
        names << list->nameAt(row);
    return names;
}

void DeleteCommand::updateEnabled()
{
    deleteItem_->setEnabled(!busy_ && browser_.fileList()->selectionModel()->hasSelection());
}

void DeleteCommand::MenuDelete_Click()
{
    if (busy_)
        return;
    names_ = selectedInListOrder();
    if (names_.isEmpty())
        return;
    folder_ = browser_.currentFolder();
    if (!folder_.endsWith(QLatin1Char('/')))
        folder_ += QLatin1Char('/');
    safe_ = SafeDeleteMode();
    busy_ = true;
    updateEnabled();
    if (!safe_) {
        askAndRun({});
        return;
    }
    // Looking at the storage may wait on a network file system that does not answer.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    inspecting_.setFuture(QtConcurrent::run(storageWarning, folder_));
}

void DeleteCommand::askAndRun(const QString& warning)
{
    if (safe_)
        QGuiApplication::restoreOverrideCursor();
    // The program began to end while the storage was looked at: nothing was asked, nothing runs.
    const widgets::JobRunner* runner = widgets::JobRunner::of(this);
    if ((runner && runner->stopping()) || !confirm(int(names_.size()), safe_, warning)) {
        busy_ = false;
        updateEnabled();
        browser_.fileList()->setFocus();
        return;
    }
    run();
}

void DeleteCommand::run()
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    status_ = new DeleteStatus(safe_, window_);
    status_->setAttribute(Qt::WA_DeleteOnClose);
    connect(status_, &DeleteStatus::cancelRequested, this, &DeleteCommand::stopRun);
    if (safe_)
        status_->showBesideOwner();
    else
        QTimer::singleShot(kTrashStatusDelayMs, status_, [s = status_] { s->showBesideOwner(); });

    desktop::DeleteCallbacks callbacks;
    callbacks.inHand = [s = status_](const QString& path) {
        QMetaObject::invokeMethod(
            s, [s, path] { s->showFile(path); }, Qt::QueuedConnection);
    };
    callbacks.goOn = [this](const desktop::FileFailure& f) { return goOnFromWorker(f); };
    callbacks.stop = &stop_;
    stop_ = false;
    // One of the window's jobs: a quit ends it after the file in hand.
    job_ = new widgets::Job(this);
    job_->onStop = [this] { stopRun(); };
    job_->onEnded = [this] { finish(); };
    job_->start([this, callbacks] {
        report_ = safe_ ? desktop::safeDeleteFiles(folder_, names_, callbacks)
                        : desktop::trashFiles(folder_, names_, callbacks);
    });
}

bool DeleteCommand::goOnFromWorker(const desktop::FileFailure& failure)
{
    std::unique_lock lock(gateMutex_);
    answered_ = false;
    QMetaObject::invokeMethod(
        this,
        [this, failure] {
            const bool yes = !stop_ && askGoOn(failure);
            {
                std::lock_guard answerLock(gateMutex_);
                answer_ = yes;
                answered_ = true;
            }
            gate_.notify_all();
        },
        Qt::QueuedConnection);
    gate_.wait(lock, [this] { return answered_ || stop_; });
    return answered_ && answer_ && !stop_;
}

void DeleteCommand::finish()
{
    if (job_->stopRequested() && report_.stopped)
        job_->leftUndone();
    job_->deleteLater();
    job_ = nullptr;
    if (status_)
        status_->finish();
    QGuiApplication::restoreOverrideCursor();
    if (!safe_ && !report_.failed.isEmpty())
        tellNotTrashed(report_.failed);
    if (!report_.tracesLeft.isEmpty())
        QMessageBox::warning(window_, tr("Mirravelnock : Safe Delete"), tracesLeftText(report_.tracesLeft));

    // The picture on show, or the note about the entry in hand, goes with its file; any
    // other picture stays.
    const auto went = [this](const QString& name) {
        return !name.isEmpty() && report_.done.contains(folder_ + name);
    };
    if (went(viewer_.nameOnView()) || went(browser_.fileList()->currentName()))
        viewer_.ResetView();
    busy_ = false;
    window_->activateWindow();
    browser_.fileList()->setFocus();
    browser_.RefreshFileList();
    updateEnabled();
    emit finished(report_);
}

} // namespace mv::fileutil
