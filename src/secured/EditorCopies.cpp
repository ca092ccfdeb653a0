#include "secured/EditorCopies.h"

#include "fileutil/Wipe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace mv::secured {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::secured", text);
}

} // namespace

QStringList findEditorCopies(const QStringList& files)
{
    QSet<QString> listed;
    for (const QString& file : files)
        listed.insert(QDir::cleanPath(file));
    QSet<QString> found;
    for (const QString& file : files) {
        const QFileInfo info(file);
        const QString folder = info.absolutePath() + u'/';
        const QString name = info.fileName();
        const QString base = info.completeBaseName();
        QStringList candidates {name + u'~',
                                u'.' + name + QStringLiteral(".swp"),
                                u'.' + name + QStringLiteral(".swo"),
                                u'.' + name + QStringLiteral(".swn"),
                                u'#' + name + u'#',
                                QStringLiteral(".#") + name,
                                u'.' + name + QStringLiteral(".kate-swp"),
                                QStringLiteral(".~lock.") + name + u'#',
                                name + QStringLiteral(".bak")};
        if (!info.suffix().isEmpty())
            candidates << base + QStringLiteral(".bak");
        // Numbered backups: "name.~1~", "name.~12~" ...
        const QRegularExpression numbered(u'^' + QRegularExpression::escape(name) +
                                          QStringLiteral("\\.~[0-9]+~$"));
        const QStringList near = QDir(folder).entryList({name + QStringLiteral(".~*~")},
                                                        QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& entry : near) {
            if (numbered.match(entry).hasMatch())
                candidates << entry;
        }
        for (const QString& candidate : candidates) {
            const QString path = folder + candidate;
            // A link counts: emacs makes its lock as a dangling one.
            if (!listed.contains(QDir::cleanPath(path)) && fileutil::isFileOrLink(path))
                found.insert(path);
        }
    }
    QStringList sorted(found.begin(), found.end());
    sorted.sort();
    return sorted;
}

QString editorCopiesQuestion(const QStringList& copies)
{
    return tr("An editor left these plain copies beside the files:") + u'\n' + copies.join(u'\n') + u'\n' +
           tr("Wipe them now?");
}

} // namespace mv::secured
