// What "Delete Selected..." asks and tells: the confirmation, the question after a file that
// could not be safe-deleted, and the files the trash did not take.
#pragma once

#include "desktop/DeleteRun.h"

#include <QList>
#include <QString>

class QWidget;

namespace mv::fileutil {

// "Delete the selected file?", "Safe delete the selected 3 files?" + "This can not be undone."
QString deleteQuestion(int count, bool safe);

// Yes or No over `owner`; `warning` (what overwriting can't reach here) goes below the
// question. No is the default of a safe delete, which can't be undone.
bool confirmDelete(QWidget* owner, int count, bool safe, const QString& warning);

// "Can't safe delete file, <path>: <reason>" + "Continue with next file?"; true for Yes.
QString goOnQuestion(const desktop::FileFailure& failure);
bool askGoOnAfterFailure(QWidget* owner, const desktop::FileFailure& failure);

// One message naming every file the trash did not take and why; they are where they were.
QString notTrashedText(const QList<desktop::FileFailure>& failures);
void tellNotTrashed(QWidget* owner, const QList<desktop::FileFailure>& failures);

// One message naming the thumbnails of safe-deleted files that stayed, by the file, and why.
QString tracesLeftText(const QList<desktop::FileFailure>& failures);

} // namespace mv::fileutil
