#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QFile>

namespace mv::fileutil {

bool isRepresentable(const QByteArray& nativeName)
{
    return QFile::encodeName(QFile::decodeName(nativeName)) == nativeName;
}

QString printableName(const QByteArray& nativeName)
{
    const auto escaped = [](unsigned value) {
        return QCoreApplication::translate("mv::crypto", "\\x%1").arg(value, 2, 16, QLatin1Char('0'));
    };
    QString shown;
    if (isRepresentable(nativeName)) {
        for (const QChar c : QFile::decodeName(nativeName))
            shown += c.unicode() < 0x20 || c.unicode() == 0x7f ? escaped(c.unicode()) : QString(c);
        return shown;
    }
    // Not text: plain ASCII stays readable, every other byte is written out.
    for (const char c : nativeName) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte < 0x20 || byte >= 0x7f ? escaped(byte) : QString(QLatin1Char(c));
    }
    return shown;
}

} // namespace mv::fileutil
