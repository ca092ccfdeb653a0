#include "browser/ViewListing.h"

#include "crypto/EncryptedNames.h"

#include <QtConcurrent/QtConcurrentRun>

namespace mv::browser {

fileutil::Listing listForView(const QString& folder, const QString& spec)
{
    fileutil::Listing listing =
        fileutil::ListFiles(folder, spec + QLatin1Char(';') + crypto::EncryptedSpec(spec));
    listing.spec = spec;
    return listing;
}

QFuture<fileutil::Listing> startListing(const QString& folder, const QString& spec)
{
    return QtConcurrent::run([folder, spec] { return listForView(folder, spec); });
}

} // namespace mv::browser
