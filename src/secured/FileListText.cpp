#include "secured/FileListText.h"

namespace mv::secured {

QStringList splitFileList(const QString& text)
{
    return text.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString joinFileList(const QStringList& paths)
{
    return paths.join(QLatin1Char('|'));
}

} // namespace mv::secured
