// Giving picture types to the program and back: the desktop's side of the association window.
#pragma once

#include "desktop/AssociationTable.h"
#include "fileutil/FileResult.h"

#include <QString>

#include <array>

namespace mv::desktop {

// Where the default application a type had before the program took it is kept ("mv.bak"),
// so that giving the type back restores it. The settings store provides it.
class AssociationBackups {
public:
    virtual ~AssociationBackups() = default;
    // Empty when none is kept.
    virtual QString backup(const QString& mimeType) const = 0;
    virtual bool keepBackup(const QString& mimeType, const QString& previousDefault) = 0;
    virtual bool dropBackup(const QString& mimeType) = 0;
};

using AssociationBoxes = std::array<bool, kAssociationBoxCount>;

// Whether one entry of such a list names the program's desktop entry; case and blanks ignored.
bool isOurEntry(const QString& entry);

// Whether a default-applications value names the program first: the desktop uses the first
// installed entry of the list. Case is ignored.
bool isOurDefault(const QString& value);

class MimeAppsList;

// Whether a list of desktop entries ("a.desktop;b.desktop;") names the program anywhere.
bool listsUs(const QString& value);

// Puts the program first in the Added Associations of `type` unless it is there already. The
// desktop lists (and starts) a default application only for types it is associated with, and
// the program's desktop entry names its own type alone.
void addOurAssociation(MimeAppsList& list, const QString& type);
// Takes the program out of them; the other entries of the line keep their order and spelling,
// and a line left with nothing goes.
void removeOurAssociation(MimeAppsList& list, const QString& type);

// The boxes as the window opens with them: a box is checked when any MIME type of any of its
// extensions has the program as its default in the user's mimeapps.list.
AssociationBoxes associatedBoxes();

// Applies the boxes to the user's mimeapps.list. A type is wanted when a box of one of its
// extensions is checked (".bmp" and ".dib" share one type, as do ".iff" and ".lbm", ".gem"
// and ".img"). A wanted type that is not ours gets the program as its default, its previous
// default kept in `backups`; a type no longer wanted that is ours gets its backup back, or
// loses our line when there was none. A wanted type is also associated with the program
// (addOurAssociation), and one given back no longer is. Every other type, and every other line of the file,
// is left as it was. The file is written once, durably, only when something changed. A
// backup that can't be kept leaves its type alone; on a failure, `backups` still hold every
// previous default the file does not.
fileutil::FileResult associate(const AssociationBoxes& boxes, AssociationBackups& backups);

} // namespace mv::desktop
