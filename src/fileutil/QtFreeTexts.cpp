#include "fileutil/FileResult.h"

namespace mv::fileutil {

namespace {

// The fixed words of the layers that know no Qt (file primitives, the engine) and of the
// steps other layers hand them, so the catalogue holds them; they are translated when shown.
[[maybe_unused]] constexpr const char* kQtFreeTexts[] = {
    // file primitives
    QT_TRANSLATE_NOOP("mv::fileio", "create temporary file"),
    QT_TRANSLATE_NOOP("mv::fileio", "flush new file"),
    QT_TRANSLATE_NOOP("mv::fileio", "put in place"),
    QT_TRANSLATE_NOOP("mv::fileio", "flush folder"),
    QT_TRANSLATE_NOOP("mv::fileio", "open the file being replaced"),
    QT_TRANSLATE_NOOP("mv::fileio", "clear the replaced file"),
    QT_TRANSLATE_NOOP("mv::fileio", "the file changed meanwhile"),
    QT_TRANSLATE_NOOP("mv::fileio", "write zeros"),
    // the engine
    QT_TRANSLATE_NOOP("mv::fileio", "the file is already encrypted"),
    QT_TRANSLATE_NOOP("mv::fileio", "the key does not open this file"),
    QT_TRANSLATE_NOOP("mv::fileio", "cancelled"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot derive the key: out of memory"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot write the destination"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot write the destination: it has other hard links"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot write the destination: it is a symbolic link"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot write the destination: it is not empty"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot write the destination: not a regular file"),
    QT_TRANSLATE_NOOP("mv::fileio", "key derivation parameters out of bounds"),
    QT_TRANSLATE_NOOP("mv::fileio", "no file given"),
    QT_TRANSLATE_NOOP("mv::fileio", "no key given"),
    QT_TRANSLATE_NOOP("mv::fileio", "no result given"),
    QT_TRANSLATE_NOOP("mv::fileio", "not an encrypted file"),
    QT_TRANSLATE_NOOP("mv::fileio", "out of memory"),
    QT_TRANSLATE_NOOP("mv::fileio", "the cryptography library cannot start"),
    QT_TRANSLATE_NOOP("mv::fileio", "the destination is the source file"),
    QT_TRANSLATE_NOOP("mv::fileio", "the file changed while being read"),
    QT_TRANSLATE_NOOP("mv::fileio", "unexpected internal error"),
    QT_TRANSLATE_NOOP("mv::fileio", "unsupported format version"),
    QT_TRANSLATE_NOOP("mv::fileio", "unsupported key derivation algorithm"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot read the file"),
    QT_TRANSLATE_NOOP("mv::fileio", "cannot read the source"),
    QT_TRANSLATE_NOOP("mv::fileio", "the decrypted file is larger than the room given for it"),
    QT_TRANSLATE_NOOP("mv::fileio", "the file is damaged or truncated"),
    // steps named outside the Qt layers' own words
    QT_TRANSLATE_NOOP("mv::fileio", "run decoder"),
    QT_TRANSLATE_NOOP("mv::fileio", "lock down decoder"),
    QT_TRANSLATE_NOOP("mv::fileio", "decrypt into memory"),
    QT_TRANSLATE_NOOP("mv::fileio", "check the key"),
    QT_TRANSLATE_NOOP("mv::fileio", "read file"),
    QT_TRANSLATE_NOOP("mv::fileio", "decode picture"),
    QT_TRANSLATE_NOOP("mv::fileio", "copy picture"),
};

} // namespace

QString qtFreeText(const std::string& text)
{
    const QString whole = QCoreApplication::translate("mv::fileio", text.c_str());
    if (whole != QString::fromStdString(text))
        return whole;
    // "cannot read the source: No such file or directory": the fixed words, then the system's
    // own (which the C library already speaks in the user's language) or further fixed words.
    const std::size_t colon = text.find(": ");
    if (colon == std::string::npos)
        return whole;
    return QCoreApplication::translate("mv::fileio", text.substr(0, colon).c_str()) + QStringLiteral(": ") +
           qtFreeText(text.substr(colon + 2));
}

} // namespace mv::fileutil
