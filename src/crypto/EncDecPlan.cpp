#include "crypto/EncDecPlan.h"

#include "crypto/EncryptedNames.h"
#include "fileio/DurableOutput.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/FolderListing.h"
#include "fileutil/LeftoverNames.h"
#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace mv::crypto {

namespace {

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Another run holds its own temporary files open and locked while it works.
bool heldByLiveRun(const QString& path)
{
    fileio::UniqueFd fd(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return fd.valid() && !fileio::tryLock(fd.get()) && errno == EWOULDBLOCK;
}

class Planner {
public:
    Planner(const EncDecScope& scope, const std::function<bool()>& stop) : scope_(scope), stop_(stop)
    {
        // The temporary names are listed whatever the filter shows: they may hold the data of
        // any file of the folder.
        patterns_ = scope.spec + QLatin1Char(';') + EncryptedSpec(scope.spec) + QStringLiteral(";$MV*.TMP;") +
                    QLatin1String(fileio::kTempPrefix) + QLatin1Char('*') +
                    QLatin1String(fileio::kTempSuffix);
    }

    EncDecPlan run()
    {
        visit(scope_.folder, true);
        return std::move(plan_);
    }

private:
    void visit(const QString& folder, bool start)
    {
        if (stop_ && stop_()) {
            plan_.stopped = true;
            return;
        }
        const fileutil::Listing listing = fileutil::ListFiles(folder, patterns_);
        if (!listing.error.ok && listing.error.error == ENAMETOOLONG && !start) {
            tooDeep(folder, listing.error);
            return;
        }
        if (!listing.error.ok) {
            plan_.notes.append({folder, fileutil::resultText(listing.error)});
            return;
        }
        const bool onlySelected = start && scope_.selectedOnly;
        QSet<QString> unmet = onlySelected ? scope_.selected : QSet<QString> {};
        // A name that is not valid text is listed so that it can be deleted, but the names
        // made from it for the other copy could not be, so it is passed over and said so.
        int passedOver = listing.unlisted;
        for (const QString& name : listing.files) {
            if (onlySelected && !unmet.remove(name))
                continue;
            if (!fileutil::isTextName(name))
                ++passedOver;
            else
                addFile(joined(folder, name), name);
        }
        if (passedOver > 0)
            plan_.notes.append(
                {folder, QCoreApplication::translate(
                             "mv::crypto", "%n name(s) here are not valid text and were passed over", nullptr,
                             passedOver)});
        QStringList gone(unmet.begin(), unmet.end());
        gone.sort();
        for (const QString& name : gone)
            plan_.notes.append(
                {joined(folder, name), QCoreApplication::translate("mv::crypto", "no longer in the folder")});
        if (onlySelected || !scope_.includeSubfolders)
            return;
        for (const QString& name : listing.folders) {
            const QString path = joined(folder, name);
            struct stat st {};
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
                // A link may lead out of the tree or back into it, round and round.
                plan_.notes.append({path, QCoreApplication::translate(
                                              "mv::crypto", "a link to a folder; links are not followed")});
                continue;
            }
            visit(path, false);
            if (plan_.stopped)
                return;
        }
    }

    // The folder's name is too long to be opened: its parent is the deepest folder reached,
    // named once however many of its sub-folders go too deep.
    void tooDeep(const QString& folder, const fileutil::FileResult& error)
    {
        const QString parent = folder.left(folder.lastIndexOf(QLatin1Char('/')));
        if (!plan_.failures.isEmpty() && plan_.failures.last().path == parent)
            return;
        plan_.failures.append(
            {parent, QCoreApplication::translate(
                         "mv::crypto", "its sub-folders go deeper than the system's path limit; the "
                                       "files in them were not touched (%1)")
                         .arg(fileutil::reasonText(error))});
    }

    void addFile(const QString& path, const QString& name)
    {
        if (fileutil::isLeftoverName(name)) {
            if (!heldByLiveRun(path))
                plan_.leftovers.append(path);
            return;
        }
        PlannedFile file {path, 0};
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
            file.size = quint64(st.st_size);
        plan_.totalBytes += file.size;
        plan_.files.append(file);
    }

    const EncDecScope& scope_;
    const std::function<bool()>& stop_;
    QString patterns_;
    EncDecPlan plan_;
};

} // namespace

EncDecPlan planEncDec(const EncDecScope& scope, const std::function<bool()>& stop)
{
    return Planner(scope, stop).run();
}

} // namespace mv::crypto
