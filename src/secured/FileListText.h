// A list of files as one text: full paths separated by "|", as an entry's `Data` and a list
// job's `JobFiles` hold them. A path never contains "|".
#pragma once

#include <QString>
#include <QStringList>

namespace mv::secured {

// The paths in order. A trailing "|" is allowed, and empty pieces name no file.
QStringList splitFileList(const QString& text);

// The paths joined by "|", with no leading or trailing "|".
QString joinFileList(const QStringList& paths);

} // namespace mv::secured
