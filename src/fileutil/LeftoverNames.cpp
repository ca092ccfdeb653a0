#include "fileutil/LeftoverNames.h"

#include "fileio/DurableOutput.h"

#include <QRegularExpression>

namespace mv::fileutil {

bool isLeftoverName(const QString& fileName)
{
    // Every file of a listed folder is asked: most answer at their first letters.
    if (!fileName.startsWith(QLatin1String("$MV")) &&
        !fileName.startsWith(QLatin1String(fileio::kTempPrefix)))
        return false;
    static const QRegularExpression pattern(
        QStringLiteral("^(\\$MV[A-Z0-9]{6}\\.TMP|%1[a-z0-9]{12}%2)$")
            .arg(QRegularExpression::escape(QLatin1String(fileio::kTempPrefix)),
                 QRegularExpression::escape(QLatin1String(fileio::kTempSuffix))));
    return pattern.match(fileName).hasMatch();
}

} // namespace mv::fileutil
