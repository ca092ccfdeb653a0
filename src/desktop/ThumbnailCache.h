// The desktop's shared cache of thumbnails of plain pictures, as other viewers keep it
// ($XDG_CACHE_HOME/thumbnails): "normal" pictures of at most 128 pixels and "large" of at
// most 256, as PNG files named by the MD5 of the file's URI and carrying that URI and the
// file's modification time in text chunks (Thumb::URI, Thumb::MTime), so a changed file is
// thumbnailed again; a file that could not be thumbnailed has an empty record under
// fail/mirravelnock/. Folders are made owner-only (0700), files owner-only (0600) and put in
// place whole by a rename, so no reader sees half a thumbnail.
//
// Only plain pictures go here: the thumbnail grid passes no cache at all for a folder that
// holds encrypted files, and nothing of an encrypted picture is ever written.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace mv::desktop {

class ThumbnailCache {
public:
    // root: the "thumbnails" folder; desktopRoot() is the one other programs share.
    explicit ThumbnailCache(QString root);
    [[nodiscard]] static QString desktopRoot();
    [[nodiscard]] const QString& root() const { return root_; }

    // The cache size (128 or 256) whose thumbnails cover a box of device pixels; 0 when none
    // does and the cache is not used.
    [[nodiscard]] static int sizeFor(QSize box);
    // The file's URI as GLib writes it, which names its entry.
    [[nodiscard]] static QByteArray uriOf(const QString& path);

    // The PNG bytes of a fresh thumbnail of the file at `size`; empty when there is none, or it
    // was made of another version of the file.
    [[nodiscard]] QByteArray find(const QString& path, qint64 mtime, int size) const;
    // Whether a fresh record says the file could not be thumbnailed.
    [[nodiscard]] bool failed(const QString& path, qint64 mtime) const;
    // Stores a thumbnail of at most `size` pixels; false when it could not be written.
    bool store(const QString& path, qint64 mtime, int size, const QImage& thumbnail) const;
    bool storeFailure(const QString& path, qint64 mtime) const;
    // Whether path lies inside the cache: the cache's own pictures are never thumbnailed.
    [[nodiscard]] bool holds(const QString& path) const;

private:
    [[nodiscard]] QString entryPath(const QString& folder, const QString& path) const;
    bool write(const QString& folder, const QString& path, qint64 mtime, const QImage& image) const;

    QString root_;
};

} // namespace mv::desktop
