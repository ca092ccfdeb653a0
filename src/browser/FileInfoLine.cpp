#include "browser/FileInfoLine.h"

#include <QCoreApplication>

namespace mv::browser {

namespace {

// Digits grouped in threes with the locale's separator; nothing at all for 0, as the
// number format "###,###,###" prints no digit for zero.
QString groupedSize(qint64 size, const QLocale& locale)
{
    if (size == 0)
        return {};
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(size);
}

} // namespace

QString fileInfoLine(const FileFacts& facts, const QLocale& locale)
{
    // One line a translator can order as a whole; the name and the numbers go in at once, so a
    // "%1" in a file's name stays as it is.
    const QString line =
        QCoreApplication::translate(
            "mv::browser",
            "%1 : Width = %2 : Height = %3 : Colors = %4 bits : Checksum = %5 : File Size = %6")
            .arg(facts.listedName, QString::number(facts.width), QString::number(facts.height),
                 QString::number(facts.colorDepth),
                 facts.checksum ? QStringLiteral("%1").arg(*facts.checksum, 8, 16, QLatin1Char('0')).toUpper()
                                : QString(),
                 groupedSize(facts.fileSize, locale));
    return facts.encrypted ? QCoreApplication::translate("mv::browser", "(Encrypted) %1").arg(line) : line;
}

} // namespace mv::browser
