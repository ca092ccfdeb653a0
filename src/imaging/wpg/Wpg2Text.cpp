#include "imaging/wpg/Wpg2Text.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace mv::imaging::wpg {
namespace {

QPointF readPoint(ByteReader& in, bool precise)
{
    const double x = readWpg2Coordinate(in, precise);
    return {x, readWpg2Coordinate(in, precise)};
}

// The length of a fixed-length function starting with code, or 0 when we do not know it.
int fixedFunctionLength(int code)
{
    switch (code) {
    case 0xF0: return 4; // extended character: code, character, set, code
    case 0xF1: return 5; // undo
    case 0xF2:           // attribute on
    case 0xF3: return 3; // attribute off
    default: return 0;
    }
}

} // namespace

bool readWpg2TextLine(ByteReader& in, bool precise, const QTransform& toPicture, double turn,
                      Wpg2TextPlace* place)
{
    in.skip(2); // text flags
    const QPointF at = readPoint(in, precise);
    const int align = in.u8();
    in.skip(1); // vertical alignment
    const double angle = in.s32le() / 65536.0;
    if (!in.ok())
        return false;
    place->anchor = toPicture.map(at);
    place->box = QRectF();
    place->align = align <= 2 ? align : 0;
    place->angle = std::isfinite(angle + turn) ? std::fmod(angle + turn, 360.0) : 0;
    return true;
}

bool readWpg2TextBox(ByteReader& in, bool precise, const QTransform& toPicture, Wpg2TextPlace* place)
{
    const QPointF a = readPoint(in, precise);
    const QPointF b = readPoint(in, precise);
    if (!in.ok())
        return false;
    place->box = toPicture.mapRect(QRectF(a, b).normalized());
    place->anchor = place->box.topLeft();
    place->align = 0;
    place->angle = 0;
    return true;
}

QString wpg2TextCharacters(QByteArrayView stream, int maxLength)
{
    QString text;
    qsizetype pos = 0;
    while (pos < stream.size() && text.size() < maxLength) {
        const int code = std::uint8_t(stream[pos]);
        if (code >= 0x20 && code < 0x7F) {
            text.append(QLatin1Char(char(code)));
            ++pos;
        } else if (code < 0xD0) {
            // Controls, international defaults and one-byte functions: only the spaces show.
            if (code == 0x80 || code == 0x81)
                text.append(QLatin1Char(' '));
            ++pos;
        } else if (code < 0xF0) {
            // code, subgroup, the size of the whole function, ..., the size again, code
            if (stream.size() - pos < 4)
                break;
            const int size = std::uint8_t(stream[pos + 2]) | (std::uint8_t(stream[pos + 3]) << 8);
            if (size < 4 || size > stream.size() - pos)
                break;
            if (code == 0xD0)
                text.append(QLatin1Char('\n'));
            pos += size;
        } else {
            const int length = fixedFunctionLength(code);
            if (length == 0 || length > stream.size() - pos)
                break;
            const int character = std::uint8_t(stream[pos + 1]);
            if (code == 0xF0 && std::uint8_t(stream[pos + 2]) == 0 && character >= 0x20 && character < 0x7F)
                text.append(QLatin1Char(char(character)));
            pos += length;
        }
    }
    return text;
}

void addWpg2Text(const Wpg2TextPlace& place, const QString& text, double height, const QColor& colour,
                 WpgItemList* items)
{
    if (!place.box.isNull())
        height = std::min(height, place.box.height());
    if (!(height > 0))
        return;
    const QStringList lines = text.split(QLatin1Char('\n'));
    // Lines run down from the anchor, across the baseline's angle.
    const double a = place.angle * M_PI / 180;
    const QPointF down(std::sin(a) * height * 1.2, std::cos(a) * height * 1.2);
    QPointF baseline = place.anchor;
    if (!place.box.isNull())
        baseline += QPointF(0, height * 0.85);
    for (qsizetype i = 0; i < lines.size(); ++i, baseline += down) {
        // A block keeps its lines within its box; the first one shows whatever its size.
        if (i > 0 && !place.box.isNull() && baseline.y() > place.box.bottom() + height * 0.2)
            break;
        WpgItem item;
        item.text = lines[i];
        item.font.setPixelSize(std::max(1, int(std::lround(std::min(height, 1e6)))));
        item.textColour = colour;
        item.at = baseline;
        item.angle = place.angle;
        item.align = place.align;
        items->addText(std::move(item));
    }
}

} // namespace mv::imaging::wpg
