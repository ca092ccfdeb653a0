#include "imaging/SiblingPalette.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mv::imaging {

QString siblingPalettePath(const QString& picturePath)
{
    const QFileInfo picture(picturePath);
    const QString stem = picture.dir().filePath(picture.completeBaseName()) + QLatin1Char('.');
    // Every spelling of "pal": exact lookups, so odd characters in the name need no escaping.
    for (int mask = 0; mask < 8; ++mask) {
        QString ext = QStringLiteral("pal");
        for (int i = 0; i < 3; ++i) {
            if (mask & (1 << i))
                ext[i] = ext[i].toUpper();
        }
        const QFileInfo candidate(stem + ext);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return {};
}

QByteArray readSiblingPalette(const QString& picturePath, qint64 maxBytes)
{
    const QString path = siblingPalettePath(picturePath);
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return {};
    return file.read(maxBytes);
}

} // namespace mv::imaging
