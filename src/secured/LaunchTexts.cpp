#include "secured/LaunchTexts.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace mv::secured {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::secured", text);
}

// "a, b, c and 2 more"
QString shortList(const QStringList& names)
{
    constexpr qsizetype kNamed = 3;
    if (names.size() <= kNamed)
        return names.join(QStringLiteral(", "));
    return tr("%1 and %2 more")
        .arg(names.first(kNamed).join(QStringLiteral(", ")))
        .arg(names.size() - kNamed);
}

} // namespace

QString unableToRunText(const fileutil::FileResult& status)
{
    const QString text = tr("Unable to run application");
    return status.ok ? text : text + u'\n' + fileutil::reasonText(status);
}

QString waitingForHoldersText(const QList<FileHolder>& holders)
{
    QStringList processes;
    QStringList files;
    for (const FileHolder& holder : holders) {
        const QString process = QStringLiteral("%1 (%2)").arg(holder.command).arg(holder.pid);
        if (!processes.contains(process))
            processes << process;
        const QString file = QFileInfo(holder.file).fileName();
        if (!files.contains(file))
            files << file;
    }
    return tr("Waiting for %1 to close %2; the files are encrypted again once it has.")
        .arg(shortList(processes), shortList(files));
}

QString leftPlainText(const QList<LeftJournal>& left)
{
    QStringList lines {
        tr("Mirravelnock! ended while these programs ran, and their files were left decrypted:")};
    for (const LeftJournal& journal : left) {
        QStringList names;
        for (const QString& file : journal.plainFiles)
            names << QFileInfo(file).fileName();
        lines << tr("%1: %2").arg(journal.record.title, shortList(names));
    }
    lines << tr("Encrypt them now?");
    return lines.join(u'\n');
}

} // namespace mv::secured
