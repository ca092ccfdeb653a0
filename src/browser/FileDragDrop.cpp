#include "browser/FileDragDrop.h"

#include "browser/TypeTable.h"
#include "crypto/EncryptedNames.h"
#include "fileutil/NameText.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

namespace mv::browser {

QUrl fileUrl(const QString& path)
{
    if (fileutil::isTextName(path))
        return QUrl::fromLocalFile(path);
    // A name that is not text: its bytes percent-encoded, as file managers write such names.
    return QUrl::fromEncoded("file://" + fileutil::nativeName(path).toPercentEncoding("/"));
}

std::unique_ptr<QMimeData> fileDragData(const QString& folder, const QStringList& names)
{
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QList<QUrl> urls;
    urls.reserve(names.size());
    for (const QString& name : names)
        urls.append(fileUrl(base + name));
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

QString droppedPicture(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || crypto::HasEncryptedName(path) ||
        !IsViewableName(path))
        return {};
    return path;
}

} // namespace mv::browser
