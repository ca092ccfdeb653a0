// The small rules of the Secured Access List setup, apart from its windows.
#pragma once

#include <QString>

namespace mv::secured {

// The title proposed for a new entry's program: the path cut before its first "." (of the
// whole path, folders included, so a dot in a folder's name cuts there: /opt/My.Tools/editor
// proposes "My"), then everything up to and including each "/" dropped.
QString proposedTitle(const QString& path);

// The name a chosen associated file is listed under: an encrypted name (".mv$", ".mv%", case
// ignored) stands for its plain file, which the entry's jobs derive it from.
QString listedName(const QString& chosen);

// `path` as one word of a command line that is split as a POSIX shell splits words: as it is
// when it holds nothing a shell would split or interpret, else in single quotes.
QString shellQuoted(const QString& path);

// Whether the listed file is still encrypted, under its plain name or under its encrypted
// name: after a decryption that did not happen, the data is still locked.
bool stillEncrypted(const QString& listedFile);

} // namespace mv::secured
