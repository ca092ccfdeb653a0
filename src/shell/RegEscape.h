#pragma once

#include <QString>
#include <QStringView>

namespace mv::shell {

// Quoted strings of the store file: "..." with \\ \" \n \r escaped, any other control
// character as \xHH and a lone surrogate as \uHHHH, so every QString survives a round trip
// and a value never spans lines.
QString quoteRegString(const QString& text);

// Reads a quoted string starting at line[*pos] (which must be '"') and moves *pos past the
// closing quote. Returns false on a missing quote, an unknown escape or a raw control char.
bool unquoteRegString(QStringView line, qsizetype* pos, QString* out);

} // namespace mv::shell
