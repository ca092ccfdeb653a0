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

QString text(const char* source)
{
    return QCoreApplication::translate("mv::browser", source);
}

} // namespace

QString fileInfoLine(const FileFacts& facts, const QLocale& locale)
{
    const QString prefix = facts.encrypted ? text("(Encrypted) ") : QString();
    return prefix + facts.listedName + text(" : Width = ") + QString::number(facts.width) +
           text(" : Height = ") + QString::number(facts.height) + text(" : Colors = ") +
           QString::number(facts.colorDepth) + text(" bits") + text(" : Checksum = ") +
           (facts.checksum ? QStringLiteral("%1").arg(*facts.checksum, 8, 16, QLatin1Char('0')).toUpper()
                           : QString()) +
           text(" : File Size = ") + groupedSize(facts.fileSize, locale);
}

} // namespace mv::browser
