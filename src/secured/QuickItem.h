// One entry of the Secured Access List: a program, its parameters and the files that stay
// encrypted while it is not running.
#pragma once

#include "crypto/SecretText.h"

#include <QString>

namespace mv::secured {

// What the settings store keeps of an entry.
struct StoredQuickItem {
    QString Title;  // shown in the combo box, the menus and the setup list; never empty when stored
    QString Path;   // the program file, a full path
    QString Params; // the command-line parameters, may be empty
    QString Data;   // the associated files: full paths joined by "|"; empty for none
};

// An entry as the program holds it. `Key` and `Running` live in memory only: after a
// restart every entry has no key and is not running.
struct QuickItem : StoredQuickItem {
    crypto::SecretText Key; // the key of the associated files, once typed or found
    bool Running = false;   // a program started from this entry is being watched
};

} // namespace mv::secured
