// The order file managers show names in: by the collation of the user's language, case
// ignored, and numbers by their value, so that img2 comes before img10. A dot sorts before
// every other character, as in GNOME's Files, so that a name's extension does not decide its
// place: photo.jpg, photo_jpg.mv$, photo-2.jpg, photo1.jpg.
#pragma once

#include <QCollator>
#include <QStringList>

namespace mv::fileutil {

// A collator for that order. The C and POSIX locales have no collation rules of their own (and
// Qt then ignores the numeric mode), so they get the common rules of ICU's root order.
QCollator naturalCollator();

// Sorts `names` in that order. Names the collator calls equal (they differ only in case) keep a
// fixed order by their characters, so a listing never shuffles between two refreshes.
void sortNaturally(QStringList& names);

} // namespace mv::fileutil
