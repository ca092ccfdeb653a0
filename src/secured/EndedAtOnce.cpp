#include "secured/EndedAtOnce.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace mv::secured {

bool endedAtOnce(qint64 ranMs, const QStringList& files, int limitMs)
{
    return ranMs < limitMs && std::any_of(files.begin(), files.end(),
                                          [](const QString& file) { return QFileInfo::exists(file); });
}

QString endedAtOnceQuestion(const QString& program)
{
    return QCoreApplication::translate("mv::secured",
                                       "%1 ended at once; it may have passed the files to a copy that is "
                                       "already running. Encrypt the files now?")
        .arg(program);
}

} // namespace mv::secured
