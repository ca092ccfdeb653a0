// File names are bytes; the program shows and matches them as text. These say whether a
// name survives that trip and how to show one that does not.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::fileutil {

// Whether a name given by the file system or a user survives the trip into text and back.
bool isRepresentable(const QByteArray& nativeName);

// A name as one line can show it: bytes that are not valid text, and control characters
// such as a line break inside a name, written as \xNN.
QString printableName(const QByteArray& nativeName);

} // namespace mv::fileutil
