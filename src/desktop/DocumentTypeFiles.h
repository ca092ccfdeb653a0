// The two files that tell the desktop about the program: its desktop entry, and the MIME
// package that names its encrypted files (and the picture types the system lacks).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mv::desktop {

// The Exec line's command for `executable`, quoted and escaped as desktop entries require,
// followed by the file argument.
QString execLine(const QString& executable);

// The desktop entry mirravelnock.desktop, starting `executable` ("mirravelnock" when installed)
// with the file double-clicked. It names the encrypted files' type and no other.
QByteArray desktopEntryText(const QString& executable);

// The shared-mime-info package: the encrypted files' type (globs *.mv$ and *.mv%, and the
// signature at the start of the file), and each picture type of `pictureTypes` (names from
// pictureMimeTypes()).
QByteArray mimePackageText(const QStringList& pictureTypes);

// The picture types of pictureMimeTypes() the system's database does not know.
QStringList pictureTypesMissingOnSystem();

} // namespace mv::desktop
