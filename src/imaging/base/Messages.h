// The reasons, in plain words, that imaging gives when a file cannot be shown. The viewer
// shows them to the user, so each is written once, in Messages.cpp, marked for translation in
// the context "mv::imaging"; reason() gives it translated (English while no translation is
// installed). Texts with %1, %2 are completed with QString::arg by the caller.
#pragma once

#include <QString>

namespace mv::imaging {

enum class Reason {
    // Any file
    Truncated,              // the file is truncated
    NoPixels,               // the picture has no pixels (%1 x %2)
    TooLarge,               // the picture is too large (%1 x %2)
    TooLargeToDecode,       // the picture is too large to decode (%1 x %2)
    NoMemoryForPicture,     // not enough memory for a %1 x %2 picture
    NotDecoded,             // the picture could not be decoded
    UnsupportedCompression, // unsupported compression %1
    UnsupportedPlanes,      // unsupported number of planes %1
    UnsupportedDepth,       // unsupported depth %1
    // Reading the file
    FileEmpty,
    UnsupportedType,
    FileMissing,
    NotAFile,
    CannotOpen, // %1: the system's text
    FileTooLarge,
    NoMemoryToRead,
    CannotRead, // %1: the system's text
    // Qt's readers and JPEG
    QtDamaged,    // %1: the type
    QtUnreadable, // %1: the type, %2: Qt's text
    JpegDamaged,
    TooManyScans,
    NoEmbeddedPreview,
    // PC raster types
    DepthForCompression, // %1 depth, %2 compression
    DibHeaderSize,
    ColourTableTooLarge,
    GemHeaderLength,
    GemPatternLength,
    NotMsp,
    NotPcx,
    PcxLayout,       // %1 bits, %2 planes
    PcxLineTooShort, // %1 bytes, %2 pixels
    NotSunRaster,
    SunRasterType,
    ColourMapType,
    TargaType,
    ColourMapEntrySize,
    TargaDepth, // %1 depth, %2 type
    TargaInterleaved,
    // Retro types
    ArtRows,
    HrzTooLarge,
    NotIff,
    HeaderTooShort,
    DataBeforeHeader,
    NoPictureData,
    NoPictureHeader,
    NotPcPaint,
    PcPaint1,
    PicLayout, // %1 planes, %2 bits
    BlockDamaged,
    // WordPerfect graphics
    NotWpg,
    WpgVersion,
    WpgEncrypted,
    FirstRecordOutside,
    BitmapDepth,
    NoBitmap,
    BitmapDamaged,
    XorCode,
    NoStartRecord,
    NoSizeOf, // %1 x %2
    NoSize,
    NoUnit,
    CoordinatePrecision,
    // Metafiles
    NotWmf,
    EmptyBoundingBox,
    StatesNoSize,
    ZeroWindowExtent,
    NotEmf,
    MetafileHeaderDamaged,
    EmptyFrame,
    Count_
};

// The text of a reason, translated.
QString reason(Reason r);

} // namespace mv::imaging
