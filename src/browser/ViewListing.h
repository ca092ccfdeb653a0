// The file list's listing: the filter's pattern list together with the patterns the same files
// have under their encrypted names, so that photo.jpg and photo_jpg.mv$ show side by side.
#pragma once

#include "fileutil/FolderListing.h"

#include <QFuture>
#include <QString>

namespace mv::browser {

// ListFiles with the filter's patterns and their encrypted forms; the result's spec is the
// filter's own.
fileutil::Listing listForView(const QString& folder, const QString& spec);

// listForView on a worker thread. The result names the folder and spec it was made for, so the
// window can drop a result that a newer request has overtaken.
QFuture<fileutil::Listing> startListing(const QString& folder, const QString& spec);

} // namespace mv::browser
