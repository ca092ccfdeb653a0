#include "desktop/DeleteRun.h"

#include "desktop/PlainTraces.h"
#include "desktop/Trash.h"

namespace mv::desktop {

namespace {

bool stopAsked(const DeleteCallbacks& callbacks)
{
    return callbacks.stop && callbacks.stop->load();
}

// Runs `one` on each file in order, until the end, a stop, or `one` says so.
template <typename One>
DeleteReport eachFile(const QString& folder, const QStringList& names, const DeleteCallbacks& callbacks,
                      One one)
{
    DeleteReport report;
    for (const QString& name : names) {
        if (stopAsked(callbacks)) {
            report.stopped = true;
            break;
        }
        const QString path = folder + name;
        if (callbacks.inHand)
            callbacks.inHand(path);
        if (!one(name, path, report))
            break;
    }
    return report;
}

} // namespace

DeleteReport trashFiles(const QString& folder, const QStringList& names, const DeleteCallbacks& callbacks)
{
    return eachFile(folder, names, callbacks, [](const QString&, const QString& path, DeleteReport& report) {
        TrashOutcome out = moveToTrash(path);
        if (out.status)
            report.done << path;
        else
            report.failed << FileFailure {path, out.status};
        return true;
    });
}

DeleteReport safeDeleteFiles(const QString& folder, const QStringList& names,
                             const DeleteCallbacks& callbacks, const fileutil::WipeOptions& options)
{
    return eachFile(folder, names, callbacks,
                    [&](const QString& name, const QString& path, DeleteReport& report) {
                        int fileNumber = -1;
                        fileutil::FileResult r = fileutil::WipeFileIn(folder, name, fileNumber, options);
                        if (r) {
                            report.done << path;
                            // Gone beyond recovery, so its thumbnails go too; the trash keeps
                            // them, as the file itself is still there.
                            for (const fileutil::FileResult& trace : forgetPlainTraces({path}).failures)
                                report.tracesLeft << FileFailure {path, trace};
                            return true;
                        }
                        report.failed << FileFailure {path, r};
                        if (callbacks.goOn && !callbacks.goOn(report.failed.back())) {
                            report.stopped = true;
                            return false;
                        }
                        return true;
                    });
}

} // namespace mv::desktop
