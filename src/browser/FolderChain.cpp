#include "browser/FolderChain.h"

#include <QDir>

namespace mv::browser {
namespace {

const QChar kSlash = QLatin1Char('/');

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(kSlash) ? folder + name : folder + kSlash + name;
}

} // namespace

FolderChain folderChain(const QString& path, const QString& driveRoot, const QStringList& subFolders)
{
    const QString current = QDir::cleanPath(path);
    QString root = QDir::cleanPath(driveRoot);
    const bool onDrive = !driveRoot.isEmpty() && (root == QStringLiteral("/") || current == root ||
                                                  current.startsWith(root + kSlash));
    if (!onDrive)
        root = QStringLiteral("/");

    FolderChain chain;
    chain.entries << root;
    QString walked = root;
    const QStringList below = current.mid(root.size()).split(kSlash, Qt::SkipEmptyParts);
    for (const QString& part : below) {
        walked = joined(walked, part);
        chain.entries << walked;
    }
    chain.current = int(chain.entries.size()) - 1;
    for (const QString& name : subFolders)
        chain.entries << joined(current, name);
    return chain;
}

QString upHighlight(const QString& newPath, const QString& lastPath)
{
    // Moving up means newPath is a folder above lastPath: a prefix that ends on a "/".
    if (newPath.isEmpty() || newPath.size() >= lastPath.size() || !lastPath.startsWith(newPath))
        return {};
    const bool endsWithSlash = newPath.endsWith(kSlash);
    if (!endsWithSlash && lastPath[newPath.size()] != kSlash)
        return {}; // /a/b and /a/bc/d are siblings' paths, not one above the other
    // The first folder name after newPath and its "/" is the entry to highlight.
    const qsizetype nameStart = endsWithSlash ? newPath.size() : newPath.size() + 1;
    const qsizetype slash = lastPath.indexOf(kSlash, nameStart);
    const qsizetype nameEnd = slash < 0 ? lastPath.size() : slash;
    if (nameEnd == nameStart)
        return {}; // an empty name ("//", a trailing "/"): there is no such entry
    return lastPath.left(nameEnd);
}

} // namespace mv::browser
