// Text of version 2 pictures. A text line, text block or text path record places the text; the
// text data record after it holds the characters as WordPerfect 6 text, whose function codes are
// passed by (an end-of-line group breaks the line). Fonts are not read: text is drawn 12 points
// high (a block no higher than its box) in the brush fore colour.
//
// Text line: flags, reference point, horizontal alignment (0 left, 1 centre, 2 right, others
// left), vertical alignment (not used: the point is the baseline) and the baseline angle, to
// which the object's own rotation is added. Text block: a box whose top left starts the first
// line. Text path: read as a box like a block, the text drawn straight in it.
#pragma once

#include "imaging/base/ByteReader.h"
#include "imaging/wpg/Wpg2Objects.h"
#include "imaging/wpg/WpgStyle.h"

#include <QByteArrayView>
#include <QColor>
#include <QString>

namespace mv::imaging::wpg {

struct Wpg2TextPlace {
    QPointF anchor; // picture items' coordinates (y down)
    QRectF box;     // the same; empty for a text line
    int align = 0;
    double angle = 0; // degrees, counter-clockwise
};

// Read the body that follows the object head; false when the record is too short.
bool readWpg2TextLine(ByteReader& in, bool precise, const QTransform& toPicture, double turn,
                      Wpg2TextPlace* place);
bool readWpg2TextBox(ByteReader& in, bool precise, const QTransform& toPicture, Wpg2TextPlace* place);

// At most maxLength characters of a WordPerfect 6 text stream; '\n' where a line ends.
QString wpg2TextCharacters(QByteArrayView stream, int maxLength);

// One text item per line; height is in picture units.
void addWpg2Text(const Wpg2TextPlace& place, const QString& text, double height, const QColor& colour,
                 WpgItemList* items);

} // namespace mv::imaging::wpg
