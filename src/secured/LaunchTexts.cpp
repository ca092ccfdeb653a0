#include "secured/LaunchTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mv::secured {

namespace {

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1)
{
    return QCoreApplication::translate("mv::secured", text, disambiguation, n);
}

// "a, b, c and 2 more"
QString shortList(const QStringList& names)
{
    constexpr qsizetype kNamed = 3;
    if (names.size() <= kNamed)
        return names.join(QStringLiteral(", "));
    return tr("%1 and %n more", nullptr, int(names.size() - kNamed))
        .arg(names.first(kNamed).join(QStringLiteral(", ")));
}

} // namespace

QString unableToRunText(const fileutil::FileResult& status)
{
    const QString text = tr("Unable to run application");
    return status.ok ? text : text + u'\n' + fileutil::reasonText(status);
}

QString unableToRunText(const QString& program, const fileutil::FileResult& status)
{
    return tr("Unable to run application") + u'\n' +
           tr("%1: %2").arg(QDir::toNativeSeparators(program), fileutil::reasonText(status));
}

QString programName(const QString& title, const QString& program)
{
    const QString file = QFileInfo(program).fileName();
    return file.isEmpty() || file == title ? title : tr("%1 (%2)").arg(title, file);
}

QString leftPlainAdvice(const QString& name, const QStringList& files)
{
    QStringList lines {tr("These files of %1 are left decrypted:").arg(name)};
    for (const QString& file : files)
        lines << QDir::toNativeSeparators(file);
    lines << tr("To encrypt them again, start %1 from the Secured Access List and close it, or select "
                "them and choose Encrypt... with their key. Until then, each start of Mirravelnock! "
                "offers to encrypt them.")
                 .arg(name);
    return lines.join(u'\n');
}

QString entryKeyHeading(const QString& name, const QStringList& files)
{
    QStringList names;
    for (const QString& file : files)
        names << QFileInfo(file).fileName();
    return tr("Enter the key of %1 to encrypt its files:\n%2").arg(name, shortList(names));
}

QString wrongEntryKeyText(const QString& file)
{
    return tr("This key does not open %1, a file of the same program that is still encrypted. "
              "Its files must all have one key: type the key again.")
        .arg(QDir::toNativeSeparators(file));
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
    QStringList lines {tr("These programs of the Secured Access List left their files decrypted:")};
    for (const LeftJournal& journal : left) {
        const JournalRecord& run = journal.record;
        QStringList names;
        for (const QString& file : journal.plainFiles)
            names << QFileInfo(file).fileName();
        QString why;
        switch (run.state) {
        case JournalRecord::State::Running:
            why = processRuns(run.helperPid, run.helperStarted)
                      ? tr("Mirravelnock! ended while the program ran; it still runs, and its files are "
                           "encrypted once it has ended.")
                      : tr("Mirravelnock! ended while the program ran.");
            break;
        case JournalRecord::State::RelockFailed:
            why = tr("Encrypting them after the program ended failed.");
            break;
        case JournalRecord::State::LeftPlain:
            why = tr("They were kept decrypted when the program ended.");
            break;
        }
        lines << tr("%1: %2. %3").arg(programName(run.title, run.program), shortList(names), why);
    }
    lines << tr("Encrypt them now?");
    return lines.join(u'\n');
}

} // namespace mv::secured
