// File names are bytes; the program shows and matches them as text. These say whether a
// name survives that trip, carry one that does not, and show it.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::fileutil {

// Whether a name given by the file system or a user survives the trip into text and back.
bool isRepresentable(const QByteArray& nativeName);

// A name as the program carries it. Text stays text; each byte that breaks the encoding
// becomes one of the lone surrogates U+DC80..U+DCFF, which no decoded name can hold, so the
// bytes come back exactly with nativeName() and such a name is never taken for another file.
QString nameFromNative(const QByteArray& nativeName);
QByteArray nativeName(const QString& name);

// Whether a carried name is plain text, one that Qt's own file classes open as it is. A name
// that is not can be listed, dragged, deleted and wiped through nativeName(), nothing else.
bool isTextName(const QString& name);

// A name as one line can show it: bytes that are not valid text, and control characters
// such as a line break inside a name, written as \xNN.
QString printableName(const QByteArray& nativeName);
QString printableName(const QString& name); // a name as nameFromNative() carries it

} // namespace mv::fileutil
