#pragma once

#include "fileio/Status.h"

#include <QFile>
#include <QString>

namespace mv::fileutil {

// Every file layer reports in one shape; see fileio/Status.h.
using FileResult = fileio::Status;

// A result's text for a window or a terminal line.
inline QString resultText(const FileResult& r)
{
    return QString::fromStdString(r.message());
}

// Paths cross into the Qt-free layers as the bytes the file system uses.
inline std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace mv::fileutil
