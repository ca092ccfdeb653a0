#include "imaging/base/Messages.h"

#include <QCoreApplication>

#include <array>

namespace mv::imaging {

namespace {

// In the order of Reason.
constexpr std::array<const char*, std::size_t(Reason::Count_)> kTexts = {
    QT_TRANSLATE_NOOP("mv::imaging", "the file is truncated"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture has no pixels (%1 x %2)"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture is too large (%1 x %2)"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture is too large to decode (%1 x %2)"),
    QT_TRANSLATE_NOOP("mv::imaging", "not enough memory for a %1 x %2 picture"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture could not be decoded"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported compression %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported number of planes %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported depth %1"),

    QT_TRANSLATE_NOOP("mv::imaging", "the file is empty"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported picture type"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file does not exist"),
    QT_TRANSLATE_NOOP("mv::imaging", "this is not a file"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file could not be opened: %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file is too large to be a picture we can show"),
    QT_TRANSLATE_NOOP("mv::imaging", "there is not enough memory to read the file"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file could not be read: %1"),

    QT_TRANSLATE_NOOP("mv::imaging", "the %1 data is damaged or unsupported"),
    QT_TRANSLATE_NOOP("mv::imaging", "the %1 data could not be read: %2"),
    QT_TRANSLATE_NOOP("mv::imaging", "the JPEG data is damaged"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file has too many progressive scans"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file holds no preview large enough"),

    QT_TRANSLATE_NOOP("mv::imaging", "unsupported depth %1 for compression %2"),
    QT_TRANSLATE_NOOP("mv::imaging", "unknown bitmap header size %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "the colour table is too large (%1 entries)"),
    QT_TRANSLATE_NOOP("mv::imaging", "the header length %1 is not valid"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported pattern length %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "not a Microsoft Paint file"),
    QT_TRANSLATE_NOOP("mv::imaging", "not a PCX file"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported PCX layout: %1 bits x %2 planes"),
    QT_TRANSLATE_NOOP("mv::imaging", "the line length %1 is too short for %2 pixels"),
    QT_TRANSLATE_NOOP("mv::imaging", "not a Sun raster file"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported Sun raster type %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported colour map type %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported Targa type %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported colour map entry size %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported depth %1 for Targa type %2"),
    QT_TRANSLATE_NOOP("mv::imaging", "interleaved Targa files are not supported"),

    QT_TRANSLATE_NOOP("mv::imaging", "the rows do not have a whole number of bytes"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file is larger than a Slow Scan TV picture"),
    QT_TRANSLATE_NOOP("mv::imaging", "not an IFF ILBM or PBM picture"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture header is too short"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture data comes before its header"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file has no picture data"),
    QT_TRANSLATE_NOOP("mv::imaging", "the file has no picture header"),
    QT_TRANSLATE_NOOP("mv::imaging", "not a PC Paint picture"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported PC Paint 1 picture"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported pixel layout (%1 planes of %2 bits)"),
    QT_TRANSLATE_NOOP("mv::imaging", "a block of the picture data is damaged"),

    QT_TRANSLATE_NOOP("mv::imaging", "not a WordPerfect graphics file"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported WPG version %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "encrypted WPG files are not supported"),
    QT_TRANSLATE_NOOP("mv::imaging", "the first record lies outside the file"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported bitmap depth %1"),
    QT_TRANSLATE_NOOP("mv::imaging", "no bitmap in this WPG file"),
    QT_TRANSLATE_NOOP("mv::imaging", "the bitmap data is damaged"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported compression code in the bitmap (XOR)"),
    QT_TRANSLATE_NOOP("mv::imaging", "the start record is missing"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture has no size (%1 x %2)"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture has no size"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture has no unit of measure"),
    QT_TRANSLATE_NOOP("mv::imaging", "unsupported coordinate precision %1"),

    QT_TRANSLATE_NOOP("mv::imaging", "this is not a Windows metafile"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture's bounding box is empty"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture states no size"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture's window extent is zero"),
    QT_TRANSLATE_NOOP("mv::imaging", "this is not an enhanced metafile"),
    QT_TRANSLATE_NOOP("mv::imaging", "the metafile header is damaged"),
    QT_TRANSLATE_NOOP("mv::imaging", "the picture's frame is empty"),
};
static_assert(kTexts.back() != nullptr, "every reason has its text");

} // namespace

QString reason(Reason r)
{
    return QCoreApplication::translate("mv::imaging", kTexts[std::size_t(r)]);
}

} // namespace mv::imaging
