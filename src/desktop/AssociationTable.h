// The picture extensions the user may give to the program, and the MIME types that stand for
// them on the desktop, which associates programs with types, not with extensions.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace mv::desktop {

// The association window's boxes, one per extension of ".art" to ".wpg".
inline constexpr int kAssociationBoxCount = 23;

// The program's own desktop entry, and the type its encrypted files have.
inline constexpr const char* kDesktopFileName = "mirravelnock.desktop";
inline constexpr const char* kDocumentMimeType = "application/x-mirravelnock-document";

struct AssociationExtension {
    QString extension; // ".jpg"
    int box;           // the box that carries it: ".jpe" and ".jpeg" ride on ".jpg"'s
    QStringList mimeTypes;
};

// The 26 extensions: the 23 of the boxes in their order, then ".jpe", ".jpeg" and ".tiff".
const std::vector<AssociationExtension>& associationExtensions();

// Every MIME type of the table once, in table order.
QStringList associationMimeTypes();

// A picture type the desktop may lack: what our MIME package says of it when the system's
// database does not know it. Types no database has (PFS First Publisher, Dr. Halo, ...) are
// always ours to describe.
struct PictureMimeType {
    QString name;
    QString comment;
    QStringList globs;
    int globWeight = 50;
    QString magicXml;     // the <magic> element, or empty
    bool ownName = false; // a name of ours: no shared-mime-info release describes the format
};
const std::vector<PictureMimeType>& pictureMimeTypes();
// The names of ours among them, which the installed package describes for every user.
QStringList ownPictureMimeTypes();

// Whether a shared-mime-info database in the system's data folders ($XDG_DATA_DIRS, never the
// user's own, which holds our package) knows the type.
bool systemKnowsMimeType(const QString& name);

} // namespace mv::desktop
