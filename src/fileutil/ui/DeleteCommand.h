// The File menu's "Delete Selected..." and "Safe Delete": the selected files of the file list go
// to the trash, or are wiped one after the other when Safe Delete is on. The work runs on a
// worker while `frmStatus` shows the file in hand; afterwards the folder is listed again and the
// view cleared if the file on show went.
#pragma once

#include "desktop/DeleteRun.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class QAction;
class QWidget;

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {
class SelectionViewer;
} // namespace mv::viewing

namespace mv::widgets {
class Job;
} // namespace mv::widgets

namespace mv::fileutil {

class DeleteStatus;

class DeleteCommand : public QObject {
    Q_OBJECT

public:
    // `deleteItem` is enabled while entries are selected and no delete runs; `safeDeleteItem`
    // holds `SafeDeleteMode` as its check mark, and `storeSafeDelete` keeps it at each change.
    DeleteCommand(browser::BrowserPane& browser, viewing::SelectionViewer& viewer, QAction* deleteItem,
                  QAction* safeDeleteItem, QWidget* window, std::function<void(bool)> storeSafeDelete);
    // Ends a run after the file in hand (a question open for it is answered No) and waits.
    ~DeleteCommand() override;

    void MenuDelete_Click();
    void mnuSafeDelete_Click();
    [[nodiscard]] bool SafeDeleteMode() const;
    // Between the click and the re-listing afterwards.
    [[nodiscard]] bool busy() const { return busy_; }

    // The questions and messages, replaceable by tests; by default the real message boxes.
    std::function<bool(int count, bool safe, const QString& warning)> confirm;
    std::function<bool(const desktop::FileFailure& failure)> askGoOn;
    std::function<void(const QList<desktop::FileFailure>& failures)> tellNotTrashed;
    // What the safe-delete question adds about the storage under a folder; runs on a worker.
    std::function<QString(const QString& folder)> storageWarning;

signals:
    // A delete ended and the folder is being listed again.
    void finished(const mv::desktop::DeleteReport& report);

private:
    [[nodiscard]] QStringList selectedInListOrder() const;
    void updateEnabled();
    void askAndRun(const QString& warning);
    void run();
    void finish();
    bool goOnFromWorker(const desktop::FileFailure& failure);
    // Lets the worker go: it ends after the file in hand, a question for it answered No.
    void stopRun();

    browser::BrowserPane& browser_;
    viewing::SelectionViewer& viewer_;
    QAction* deleteItem_;
    QAction* safeDeleteItem_;
    QWidget* window_;
    std::function<void(bool)> storeSafeDelete_;

    bool busy_ = false;
    bool safe_ = false;
    QString folder_;
    QStringList names_;
    QFutureWatcher<QString> inspecting_;
    widgets::Job* job_ = nullptr; // the run under way
    desktop::DeleteReport report_;
    QPointer<DeleteStatus> status_;

    // The worker waits here for the answer to a failure; the destructor lets it go.
    std::mutex gateMutex_;
    std::condition_variable gate_;
    bool answered_ = false;
    bool answer_ = false;
    std::atomic<bool> stop_ {false};
};

} // namespace mv::fileutil
