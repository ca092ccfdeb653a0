#include "desktop/DocumentType.h"

#include "desktop/AssociationTable.h"
#include "desktop/DesktopFolders.h"
#include "desktop/DocumentTypeFiles.h"
#include "fileutil/WholeFile.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace mv::desktop {

namespace {

constexpr int kToolTimeoutMs = 30000;

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
    if (outcome.entryChanged || !QFileInfo::exists(userApplicationsDir() + QStringLiteral("/mimeinfo.cache")))
        runTool(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), userApplicationsDir()},
                outcome);
    return outcome;
}

} // namespace mv::desktop
