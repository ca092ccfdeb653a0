// Where the desktop keeps its thumbnails and how it names them: shared by our own cache of
// plain pictures and by the wiping of the thumbnails other programs made of decrypted files.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::desktop {

// $XDG_CACHE_HOME/thumbnails (or ~/.cache/thumbnails): the folder other programs share.
[[nodiscard]] QString desktopThumbnailRoot();
// The file's URI as GLib writes it (g_filename_to_uri), whose MD5 names its thumbnails:
// every byte of the absolute path outside GLib's safe set escaped.
[[nodiscard]] QByteArray glibFileUri(const QString& path);
// A thumbnail's file name: the MD5 of the file's URI in hexadecimal, and ".png".
[[nodiscard]] QString thumbnailFileName(const QByteArray& uri);

} // namespace mv::desktop
