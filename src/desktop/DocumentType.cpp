#include "desktop/DocumentType.h"

#include "desktop/AssociationTable.h"
#include "desktop/DesktopFolders.h"
#include "desktop/DocumentTypeFiles.h"
#include "desktop/FileAssociation.h"
#include "desktop/MimeAppsList.h"
#include "fileutil/WholeFile.h"
#include "fileutil/Wipe.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace mv::desktop {

namespace {

constexpr int kToolTimeoutMs = 30000;
// The one group of the cache update-desktop-database writes.
const QString kMimeCacheGroup = QStringLiteral("MIME Cache");

void runTool(const QString& name, const QStringList& args, RegisterOutcome& outcome)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    outcome.toolsRun << name;
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        outcome.toolProblems << QCoreApplication::translate("mv::fileutil", "%1 did not finish: %2")
                                    .arg(name, process.errorString());
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        outcome.toolProblems << QCoreApplication::translate("mv::fileutil", "%1 ended with code %2")
                                    .arg(name)
                                    .arg(process.exitCode());
    }
}

// Takes the program out of every line of the user's MIME cache; a line left naming nobody goes.
// True when the cache named it at all.
bool withdrawFromCache(MimeAppsList& cache)
{
    bool named = false;
    for (const QString& type : cache.keys(kMimeCacheGroup)) {
        QStringList entries = cache.value(kMimeCacheGroup, type).split(QLatin1Char(';'));
        if (entries.removeIf(isOurEntry) == 0)
            continue;
        named = true;
        entries.removeAll(QString());
        if (entries.isEmpty())
            (void)cache.removeLine(kMimeCacheGroup, type);
        else
            cache.setValue(kMimeCacheGroup, type, entries.join(QLatin1Char(';')) + QLatin1Char(';'));
    }
    return named;
}

} // namespace

RegisterOutcome RegisterDocumentType(const QString& executable)
{
    RegisterOutcome outcome;
    const QString entry = userApplicationsDir() + QLatin1Char('/') + QString::fromLatin1(kDesktopFileName);
    outcome.status =
        fileutil::replaceWholeFileIfDifferent(entry, desktopEntryText(executable), &outcome.entryChanged);
    if (!outcome.status)
        return outcome;
    const QString package = userMimeDir() + QStringLiteral("/packages/mirravelnock.xml");
    outcome.status = fileutil::replaceWholeFileIfDifferent(
        package, mimePackageText(pictureTypesMissingOnSystem()), &outcome.packageChanged);
    if (!outcome.status)
        return outcome;
    if (outcome.packageChanged || !QFileInfo::exists(userMimeDir() + QStringLiteral("/mime.cache")))
        runTool(QStringLiteral("update-mime-database"), {userMimeDir()}, outcome);

    // The user's mimeapps.list associates the encrypted files with the program: no cache of the
    // user's applications folder is needed for the desktop to find it (one would rank every
    // entry in that folder above the system's, for every type they name).
    const QString listPath = mimeAppsListPath();
    QByteArray listText;
    // A file that can't be read is never written over.
    if (outcome.status = fileutil::readWholeFile(listPath, &listText); !outcome.status)
        return outcome;
    MimeAppsList list(listText);
    addOurAssociation(list, QLatin1String(kDocumentMimeType));

    // Earlier versions named every picture type in the entry and had update-desktop-database
    // index the folder, which made the program the default for them. The program leaves that
    // cache, keeping each type the user did give it in the association window.
    const QString cachePath = userApplicationsDir() + QStringLiteral("/mimeinfo.cache");
    QByteArray cacheText;
    // A cache that can't be read is left to the desktop, which can't read it either.
    MimeAppsList cache(fileutil::readWholeFile(cachePath, &cacheText) ? cacheText : QByteArray());
    const bool inCache = withdrawFromCache(cache);
    if (inCache)
        for (const QString& type : associationMimeTypes())
            if (isOurDefault(list.value(MimeAppsList::kDefaultApplications, type)))
                addOurAssociation(list, type);

    if (list.text() != listText) {
        if (outcome.status = fileutil::replaceWholeFile(listPath, list.text()); !outcome.status)
            return outcome;
        outcome.listChanged = true;
    }
    if (!inCache)
        return outcome;
    // Only the program's own lines go; a cache that indexes other programs' entries stays, as
    // those programs may count on it.
    const fileutil::FileResult withdrawn = cache.keys(kMimeCacheGroup).isEmpty()
                                               ? fileutil::WipeFile(cachePath)
                                               : fileutil::replaceWholeFile(cachePath, cache.text());
    outcome.cacheWithdrawn = withdrawn.ok;
    if (!withdrawn)
        outcome.toolProblems << QStringLiteral("%1: %2").arg(cachePath, fileutil::resultText(withdrawn));
    return outcome;
}

} // namespace mv::desktop
