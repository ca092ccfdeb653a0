#include "desktop/FileAssociation.h"

#include "desktop/DesktopFolders.h"
#include "desktop/MimeAppsList.h"
#include "fileutil/WholeFile.h"

namespace mv::desktop {

namespace {

const QString& defaults()
{
    return MimeAppsList::kDefaultApplications;
}

} // namespace

bool isOurDefault(const QString& value)
{
    const QString first = value.section(QLatin1Char(';'), 0, 0).trimmed();
    return first.compare(QLatin1String(kDesktopFileName), Qt::CaseInsensitive) == 0;
}

AssociationBoxes associatedBoxes()
{
    AssociationBoxes boxes {};
    QByteArray text;
    if (!fileutil::readWholeFile(mimeAppsListPath(), &text))
        return boxes;
    const MimeAppsList list(text);
    for (const AssociationExtension& e : associationExtensions())
        for (const QString& type : e.mimeTypes)
            if (isOurDefault(list.value(defaults(), type)))
                boxes[size_t(e.box)] = true;
    return boxes;
}

fileutil::FileResult associate(const AssociationBoxes& boxes, AssociationBackups& backups)
{
    const QString path = mimeAppsListPath();
    QByteArray text;
    // A file that can't be read is never written over.
    if (fileutil::FileResult r = fileutil::readWholeFile(path, &text); !r)
        return r;
    MimeAppsList list(text);
    QStringList restored;
    for (const QString& type : associationMimeTypes()) {
        bool wanted = false;
        for (const AssociationExtension& e : associationExtensions())
            if (e.mimeTypes.contains(type) && boxes[size_t(e.box)])
                wanted = true;
        const QString current = list.value(defaults(), type);
        const bool ours = isOurDefault(current);
        if (wanted && !ours) {
            if (!current.isEmpty() && !backups.keepBackup(type, current))
                continue;
            list.setValue(defaults(), type, QLatin1String(kDesktopFileName) + QLatin1Char(';'));
        } else if (!wanted && ours) {
            const QString previous = backups.backup(type);
            if (previous.isEmpty()) {
                list.removeLine(defaults(), type);
            } else {
                list.setValue(defaults(), type, previous);
                restored << type;
            }
        }
    }
    if (list.text() == text)
        return fileutil::FileResult::success();
    if (fileutil::FileResult r = fileutil::replaceWholeFile(path, list.text()); !r)
        return r;
    // Only once the file holds the previous defaults again are their copies let go.
    for (const QString& type : restored)
        backups.dropBackup(type);
    return fileutil::FileResult::success();
}

} // namespace mv::desktop
