#pragma once

#include "shell/RegDocument.h"

#include <QByteArray>
#include <QString>

namespace mv::shell {

// First line of every store file; a file without it is not ours.
inline constexpr char kRegHeader[] = "Mirravelnock settings 1";

// The store file syntax, after the Windows .reg export:
//
//   Mirravelnock settings 1
//
//   [Software\Braxmoor Laboratories\Mirravelnock!\Settings]
//   @="default value"
//   "Last Dir"="/home/me/Pictures"
//   "Count"=dword:0000002a
//
// Lines starting with ';' or '#' are comments. Non-string data (dword:, hex:, hex(N):,
// with '\' line continuations) is kept as raw text. An empty file is an empty store.
QByteArray writeRegText(const RegDocument& doc);

// Returns false, with the line number in `error`, for anything that is not exactly this
// syntax in valid UTF-8: such a file is damaged, and guessing at it could lose values.
bool parseRegText(const QByteArray& bytes, RegDocument* doc, QString* error);

} // namespace mv::shell
