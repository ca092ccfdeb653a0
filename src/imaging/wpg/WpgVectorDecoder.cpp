#include "imaging/wpg/WpgVectorDecoder.h"

#include "imaging/retro/WpgDecoder.h"
#include "imaging/retro/WpgRecords.h"
#include "imaging/wpg/Wpg1Player.h"
#include "imaging/wpg/Wpg2Player.h"

#include <cmath>

namespace mv::imaging {

Picture decodeWpgPicture(QByteArrayView data)
{
    WpgHeader header;
    QString why;
    if (!readWpgHeader(data, &header, &why))
        return Picture::failure(why);
    const WpgPlayResult played = header.majorVersion == 1 ? playWpg1(data, header) : playWpg2(data, header);
    if (!played.picture || !played.hasShapes) {
        // Bitmaps only (or a start record we cannot use): the raster path may still show it.
        Picture raster = Picture::fromResult(decodeWpg(data));
        if (raster.ok() || played.error.isEmpty())
            return raster;
        return Picture::failure(played.error);
    }
    Picture p;
    const QSizeF size = played.picture->naturalSize();
    p.width = std::max(1, int(std::lround(size.width())));
    p.height = std::max(1, int(std::lround(size.height())));
    p.colorDepth = 24;
    p.drawing = played.picture;
    return p;
}

} // namespace mv::imaging
