// The work of "Delete Selected...": the selected files of one folder moved to the trash, or
// safe-deleted one after the other. Runs on a worker; what it needs of the user (which file
// is in hand, whether to go on after a failure) it asks through the callbacks.
#pragma once

#include "fileutil/FileResult.h"
#include "fileutil/Wipe.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace mv::desktop {

struct FileFailure {
    QString path;
    fileutil::FileResult result;
};

struct DeleteReport {
    QStringList done;          // full paths gone from the folder
    QList<FileFailure> failed; // full paths left where they were (or as the wipe left them)
    bool stopped = false;      // the user chose not to go on
    // Safe delete: thumbnails of wiped files that could not be wiped.
    QList<FileFailure> tracesLeft;
};

struct DeleteCallbacks {
    // The file about to be worked on, by its full path.
    std::function<void(const QString& path)> inHand;
    // Safe delete only: a file could not be wiped; true goes on with the next one.
    std::function<bool(const FileFailure& failure)> goOn;
    // Set by the owner to end the run after the file in hand.
    const std::atomic<bool>* stop = nullptr;
};

// `folder` ends in "/"; `names` are the bare names in list order.
DeleteReport trashFiles(const QString& folder, const QStringList& names, const DeleteCallbacks& callbacks);

// `SafeDeleteSelected`: each file wiped with `WipeFileIn`; after a failure `goOn` decides.
DeleteReport safeDeleteFiles(const QString& folder, const QStringList& names,
                             const DeleteCallbacks& callbacks, const fileutil::WipeOptions& options = {});

} // namespace mv::desktop
