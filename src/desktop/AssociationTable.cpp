#include "desktop/AssociationTable.h"

#include "desktop/DesktopFolders.h"

#include <QFileInfo>

namespace mv::desktop {

const std::vector<AssociationExtension>& associationExtensions()
{
    static const std::vector<AssociationExtension> table {
        {QStringLiteral(".art"), 0, {QStringLiteral("image/x-pfs-art")}},
        {QStringLiteral(".bmp"), 1, {QStringLiteral("image/bmp")}},
        {QStringLiteral(".cut"), 2, {QStringLiteral("image/x-dr-halo-cut")}},
        {QStringLiteral(".dib"), 3, {QStringLiteral("image/bmp")}},
        {QStringLiteral(".emf"), 4, {QStringLiteral("image/emf")}},
        {QStringLiteral(".gem"), 5, {QStringLiteral("image/x-gem")}},
        {QStringLiteral(".gif"), 6, {QStringLiteral("image/gif")}},
        {QStringLiteral(".hrz"), 7, {QStringLiteral("image/x-hrz")}},
        {QStringLiteral(".iff"), 8, {QStringLiteral("image/x-ilbm")}},
        {QStringLiteral(".img"), 9, {QStringLiteral("image/x-gem")}},
        {QStringLiteral(".jpg"), 10, {QStringLiteral("image/jpeg")}},
        {QStringLiteral(".lbm"), 11, {QStringLiteral("image/x-ilbm")}},
        {QStringLiteral(".mac"), 12, {QStringLiteral("image/x-macpaint")}},
        {QStringLiteral(".msp"), 13, {QStringLiteral("image/x-msp")}},
        {QStringLiteral(".pcx"), 14, {QStringLiteral("image/vnd.zbrush.pcx")}},
        {QStringLiteral(".pic"), 15, {QStringLiteral("image/x-pictor")}},
        {QStringLiteral(".png"), 16, {QStringLiteral("image/png")}},
        // The desktop names *.ras "CMU raster" by its name and a Sun raster file by its content.
        {QStringLiteral(".ras"),
         17,
         {QStringLiteral("image/x-cmu-raster"), QStringLiteral("image/x-sun-raster")}},
        {QStringLiteral(".rle"), 18, {QStringLiteral("image/rle")}},
        {QStringLiteral(".tga"), 19, {QStringLiteral("image/x-tga")}},
        {QStringLiteral(".tif"), 20, {QStringLiteral("image/tiff")}},
        {QStringLiteral(".wmf"), 21, {QStringLiteral("image/wmf")}},
        {QStringLiteral(".wpg"), 22, {QStringLiteral("application/x-wpg")}},
        {QStringLiteral(".jpe"), 10, {QStringLiteral("image/jpeg")}},
        {QStringLiteral(".jpeg"), 10, {QStringLiteral("image/jpeg")}},
        {QStringLiteral(".tiff"), 20, {QStringLiteral("image/tiff")}},
    };
    return table;
}

QStringList associationMimeTypes()
{
    QStringList types;
    for (const AssociationExtension& e : associationExtensions())
        for (const QString& t : e.mimeTypes)
            if (!types.contains(t))
                types << t;
    return types;
}

const std::vector<PictureMimeType>& pictureMimeTypes()
{
    const auto s = [](const char* text) { return QString::fromLatin1(text); };
    // GEM pictures share their names with Ruby packages (*.gem, tar files) and disk images
    // (*.img). Our globs weigh less than the system's, so starting the program never turns
    // those into pictures; the desktop finds a GEM picture by its header instead.
    static const std::vector<PictureMimeType> table {
        {s("image/x-pfs-art"), s("PFS First Publisher picture"), {s("*.art")}, 50, {}, true},
        {s("image/x-dr-halo-cut"), s("Dr. Halo picture"), {s("*.cut")}, 50, {}, true},
        {s("image/x-gem"),
         s("GEM raster picture"),
         {s("*.gem"), s("*.img")},
         40,
         s("<magic priority=\"50\"><match type=\"big32\" value=\"0x00010008\" offset=\"0\"/>"
           "<match type=\"big32\" value=\"0x00010009\" offset=\"0\"/>"
           "<match type=\"string\" value=\"XIMG\" offset=\"16\"/></magic>"),
         true},
        {s("image/x-hrz"), s("Slow Scan Television picture"), {s("*.hrz")}, 50, {}, true},
        {s("image/x-macpaint"), s("MacPaint picture"), {s("*.mac")}, 50, {}, true},
        {s("image/x-msp"), s("Microsoft Paint picture"), {s("*.msp")}, 50, {}, true},
        {s("image/x-pictor"), s("Pictor PC Paint picture"), {s("*.pic")}, 50, {}, true},
        // Known to current databases; described here for a system whose database is older.
        {s("image/bmp"), s("Windows BMP picture"), {s("*.bmp"), s("*.dib")}, 50, {}},
        {s("image/emf"), s("Windows Enhanced Metafile"), {s("*.emf")}, 50, {}},
        {s("image/gif"), s("GIF picture"), {s("*.gif")}, 50, {}},
        {s("image/x-ilbm"), s("ILBM picture"), {s("*.iff"), s("*.lbm")}, 50, {}},
        {s("image/jpeg"), s("JPEG picture"), {s("*.jpg"), s("*.jpe"), s("*.jpeg")}, 50, {}},
        {s("image/vnd.zbrush.pcx"), s("PCX picture"), {s("*.pcx")}, 50, {}},
        {s("image/png"), s("PNG picture"), {s("*.png")}, 50, {}},
        {s("image/x-cmu-raster"), s("CMU raster picture"), {s("*.ras")}, 50, {}},
        {s("image/x-sun-raster"),
         s("Sun raster picture"),
         {},
         50,
         s("<magic priority=\"50\"><match type=\"big32\" value=\"0x59a66a95\" offset=\"0\"/></magic>")},
        {s("image/rle"), s("RLE bitmap picture"), {s("*.rle")}, 50, {}},
        {s("image/x-tga"), s("Targa picture"), {s("*.tga")}, 50, {}},
        {s("image/tiff"), s("TIFF picture"), {s("*.tif"), s("*.tiff")}, 50, {}},
        {s("image/wmf"), s("Windows Metafile"), {s("*.wmf")}, 50, {}},
        {s("application/x-wpg"), s("WordPerfect Graphics picture"), {s("*.wpg")}, 50, {}},
    };
    return table;
}

QStringList ownPictureMimeTypes()
{
    QStringList names;
    for (const PictureMimeType& type : pictureMimeTypes())
        if (type.ownName)
            names << type.name;
    return names;
}

bool systemKnowsMimeType(const QString& name)
{
    // update-mime-database leaves one file per known type: <dir>/mime/image/gif.xml.
    for (const QString& dir : xdgDataDirs())
        if (QFileInfo::exists(dir + QStringLiteral("/mime/") + name + QStringLiteral(".xml")))
            return true;
    return false;
}

} // namespace mv::desktop
