#include "browser/TypeTable.h"

#include "fileutil/NameText.h"

#include <QCoreApplication>

#include <array>

namespace mv::browser {
namespace {

struct TypeEntry {
    const char* text;
    const char* patterns;
};

// AllSupportedPattern stands in at entry 1; see typePatterns.
const std::array<TypeEntry, kTypeCount> kTypes {{
    {QT_TRANSLATE_NOOP("mv::browser", "All Files (*.*)"), "*.*"},
    {QT_TRANSLATE_NOOP("mv::browser", "All Supported Files"), nullptr},
    {QT_TRANSLATE_NOOP("mv::browser", "Amiga (*.IFF)"), "*.IFF"},
    {QT_TRANSLATE_NOOP("mv::browser", "Amiga (*.LBM)"), "*.LBM"},
    {QT_TRANSLATE_NOOP("mv::browser", "CompuServe (*.GIF)"), "*.GIF"},
    {QT_TRANSLATE_NOOP("mv::browser", "CompuServe (*.PNG)"), "*.PNG"},
    {QT_TRANSLATE_NOOP("mv::browser", "Dig. Research (*.GEM)"), "*.GEM"},
    {QT_TRANSLATE_NOOP("mv::browser", "Dig. Research (*.IMG)"), "*.IMG"},
    {QT_TRANSLATE_NOOP("mv::browser", "Dr. Halo (*.CUT)"), "*.CUT"},
    {QT_TRANSLATE_NOOP("mv::browser", "JPEG (*.JPG)"), "*.JPG;*.JPEG"},
    {QT_TRANSLATE_NOOP("mv::browser", "Mac Paint (*.MAC)"), "*.MAC"},
    {QT_TRANSLATE_NOOP("mv::browser", "MS Paint (*.MSP)"), "*.MSP"},
    {QT_TRANSLATE_NOOP("mv::browser", "PFS (*.ART)"), "*.ART"},
    {QT_TRANSLATE_NOOP("mv::browser", "Pictor (*.PIC)"), "*.PIC"},
    {QT_TRANSLATE_NOOP("mv::browser", "Slow Scan TV (*.HRZ)"), "*.HRZ"},
    {QT_TRANSLATE_NOOP("mv::browser", "Sun Raster (*.RAS)"), "*.RAS"},
    {QT_TRANSLATE_NOOP("mv::browser", "Targa (*.TGA)"), "*.TGA"},
    {QT_TRANSLATE_NOOP("mv::browser", "TIFF (*.TIF)"), "*.TIF"},
    {QT_TRANSLATE_NOOP("mv::browser", "Windows & OS2 (*.BMP)"), "*.BMP"},
    {QT_TRANSLATE_NOOP("mv::browser", "Windows (*.DIB)"), "*.DIB"},
    {QT_TRANSLATE_NOOP("mv::browser", "Windows (*.EMF)"), "*.EMF"},
    {QT_TRANSLATE_NOOP("mv::browser", "Windows (*.RLE)"), "*.RLE"},
    {QT_TRANSLATE_NOOP("mv::browser", "Windows (*.WMF)"), "*.WMF"},
    {QT_TRANSLATE_NOOP("mv::browser", "Word Perfect (*.WPG)"), "*.WPG"},
    {QT_TRANSLATE_NOOP("mv::browser", "ZSoft (*.PCX)"), "*.PCX"},
}};

bool inRange(int index)
{
    return index >= 0 && index < kTypeCount;
}

// The last `count` characters lower-cased, or the whole name when it is shorter.
QString tail(const QString& name, qsizetype count)
{
    return name.right(count).toLower();
}

} // namespace

QStringList typeTexts()
{
    QStringList texts;
    texts.reserve(kTypeCount);
    for (const TypeEntry& entry : kTypes)
        texts << QCoreApplication::translate("mv::browser", entry.text);
    return texts;
}

QString typePatterns(int index)
{
    if (!inRange(index))
        return QStringLiteral("*.*");
    const TypeEntry& entry = kTypes[std::size_t(index)];
    return entry.patterns ? QString::fromLatin1(entry.patterns) : QString(AllSupportedPattern);
}

TypeSpec specForIndex(int index)
{
    if (index < 1 || index >= kTypeCount)
        return {QStringLiteral("*.*"), QStringLiteral("0")};
    return {typePatterns(index), QString::number(index)};
}

bool IsViewableName(const QString& name)
{
    if (name.isEmpty())
        return false; // an empty text "occurs" in every text, but names no file
    if (!fileutil::isTextName(name))
        return false; // Qt's file classes would read another name
    return QString(ViewableExtensions).contains(tail(name, 4)) ||
           QStringLiteral(".jpeg.tiff").contains(tail(name, 5));
}

} // namespace mv::browser
