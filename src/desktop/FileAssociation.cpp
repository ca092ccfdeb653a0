#include "desktop/FileAssociation.h"

#include "desktop/DesktopFolders.h"
#include "desktop/MimeAppsList.h"
#include "fileutil/WholeFile.h"

#include <algorithm>

namespace mv::desktop {

namespace {

const QString& defaults()
{
    return MimeAppsList::kDefaultApplications;
}

} // namespace

bool isOurEntry(const QString& entry)
{
    return entry.trimmed().compare(QLatin1String(kDesktopFileName), Qt::CaseInsensitive) == 0;
}

bool isOurDefault(const QString& value)
{
    return isOurEntry(value.section(QLatin1Char(';'), 0, 0));
}

bool listsUs(const QString& value)
{
    const QStringList entries = value.split(QLatin1Char(';'));
    return std::any_of(entries.begin(), entries.end(), isOurEntry);
}

void addOurAssociation(MimeAppsList& list, const QString& type)
{
    const QString current = list.value(MimeAppsList::kAddedAssociations, type);
    if (!listsUs(current))
        list.setValue(MimeAppsList::kAddedAssociations, type,
                      QLatin1String(kDesktopFileName) + QLatin1Char(';') + current);
}

void removeOurAssociation(MimeAppsList& list, const QString& type)
{
    const QString current = list.value(MimeAppsList::kAddedAssociations, type);
    if (!listsUs(current))
        return;
    QStringList entries = current.split(QLatin1Char(';'));
    entries.removeIf(isOurEntry);
    if (std::all_of(entries.begin(), entries.end(), [](const QString& e) { return e.trimmed().isEmpty(); }))
        list.removeLine(MimeAppsList::kAddedAssociations, type);
    else
        list.setValue(MimeAppsList::kAddedAssociations, type, entries.join(QLatin1Char(';')));
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
            addOurAssociation(list, type);
        } else if (wanted) {
            // Taken by an earlier version, which left the association to its desktop entry.
            addOurAssociation(list, type);
        } else if (ours) {
            removeOurAssociation(list, type);
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
