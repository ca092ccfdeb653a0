// WordPerfect graphics where the fixtures' MANIFEST cannot judge: the text stream's function
// codes, hatches, every prefix of files with every kind of record, and what floods of text, lines
// and compounds keep. Shapes, pens, brushes, transforms, text in its place, compound outlines,
// placed bitmaps and refused headers are rows of the MANIFEST.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/base/Picture.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgPicture.h"

namespace mv::imaging::test {
namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);

// Drawn at 2 x 1 inch, 96 dpi.
QImage renderWpg(const QString& file)
{
    return renderVector(decodeWpgPicture, fixture(file), QSize(192, 96));
}

TEST(Wpg2Text, CharactersPassFunctionCodesBy)
{
    // Characters among functions of variable length (D4, D0: a line end), of fixed length (F0 with
    // a character in it, F2) and single-byte codes (80, 0A).
    const QByteArray stream = QByteArray::fromHex(
        "4142 D4 1B 0800 01 0800 D4  43 80  F0 44 00 F0  F2 0C F2  D0 04 0800 00 0800 D0  45 0A");
    EXPECT_EQ(wpg::wpg2TextCharacters(stream, 100), QStringLiteral("ABC D\nE"));
    // A function longer than what is left, or one of unknown length, ends the text.
    for (const char* cut : {"4142 D4 1B FF00 78797A", "4142 D4 1B 0200 78797A", "4142 FF 4344", "4142 F0 43"})
        EXPECT_EQ(wpg::wpg2TextCharacters(QByteArray::fromHex(cut), 100), QStringLiteral("AB")) << cut;
    EXPECT_EQ(wpg::wpg2TextCharacters(QByteArray(10000, 'x'), wpg::kMaxWpgTextLength).size(),
              wpg::kMaxWpgTextLength);
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
const QRect kInside(20, 20, 60, 50); // well inside the hatched rectangles below, in pixels
const int kAll = kInside.width() * kInside.height();

// Rows (or columns) of the box that are wholly red, and those wholly white.
std::pair<int, int> fullRows(const QImage& image, bool columns = false)
{
    int red = 0, white = 0;
    const int lines = columns ? kInside.width() : kInside.height(),
              length = columns ? kInside.height() : kInside.width();
    for (int i = 0; i < lines; ++i) {
        bool allRed = true, allWhite = true;
        for (int j = 0; j < length; ++j) {
            const QRgb c = columns ? image.pixel(kInside.left() + i, kInside.top() + j)
                                   : image.pixel(kInside.left() + j, kInside.top() + i);
            allRed = allRed && isRed(c);
            allWhite = allWhite && qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
        }
        red += allRed ? 1 : 0;
        white += allWhite ? 1 : 0;
    }
    return {red, white};
}

int redPixels(const QImage& image)
{
    return countPixels(image, kInside, isRed);
}

// A red rectangle of a fill style (version 1: pixels 12..88 x 12..84, no outline) or brush
// pattern (version 2): the files of style and pattern 18 with that byte changed.
QImage wpg1Hatched(int style)
{
    return renderWpg(QStringLiteral("hatch1-style18.wpg set=35:%1").arg(style, 2, 16, QLatin1Char('0')));
}
QImage wpg2Hatched(int pattern)
{
    return renderWpg(QStringLiteral("hatch2-pattern18.wpg set=54:%1").arg(pattern, 2, 16, QLatin1Char('0')));
}

TEST(WpgHatch, LinesRunTheWayTheStyleSaysOverTheBackgroundBeneath)
{
    // Horizontal lines: whole rows of red with whole rows of background between them, and no
    // whole red column; outside stays untouched. Vertical lines: whole columns instead.
    for (const auto& [image, vertical] :
         {std::pair {wpg1Hatched(18), false}, std::pair {wpg1Hatched(19), true},
          std::pair {wpg2Hatched(18), false}}) {
        const auto [red, white] = fullRows(image, vertical);
        EXPECT_GE(red, 4) << vertical;
        EXPECT_GE(white, 4 * 4) << vertical;
        EXPECT_EQ(fullRows(image, !vertical).first, 0) << vertical;
        EXPECT_TRUE(pixelsAre(image, {{150, 40, kWhite, 0}}));
    }
    // Lines rising to the right: each red pixel continues up and right, not up and left.
    const QImage image = wpg1Hatched(2);
    int rising = 0, falling = 0;
    for (int y = kInside.top() + 1; y <= kInside.bottom(); ++y)
        for (int x = kInside.left() + 1; x < kInside.right(); ++x)
            if (isRed(image.pixel(x, y))) {
                rising += isRed(image.pixel(x + 1, y - 1)) ? 1 : 0;
                falling += isRed(image.pixel(x - 1, y - 1)) ? 1 : 0;
            }
    EXPECT_GT(rising, 100);
    EXPECT_LT(falling, rising / 4);
    EXPECT_EQ(fullRows(image).first, 0);
    // Dots: the densest style covers more than the sparsest, and neither is solid.
    const int sparse = redPixels(wpg1Hatched(11)), dense = redPixels(wpg1Hatched(17));
    EXPECT_GT(sparse, 0);
    EXPECT_GT(dense, sparse * 4);
    EXPECT_LT(dense, kAll);
    // Solid and unknown styles fill every pixel; hollow none.
    for (const auto& [hatched, red] :
         {std::pair {wpg1Hatched(1), kAll}, std::pair {wpg1Hatched(200), kAll}, std::pair {wpg1Hatched(0), 0},
          std::pair {wpg2Hatched(0), kAll}, std::pair {wpg2Hatched(1), 0}})
        EXPECT_EQ(redPixels(hatched), red);
    // Cross-hatch (pattern 20) over a blue square: the blue shows between the lines.
    const QImage crossed = renderWpg(QStringLiteral("hatch2-crossed.wpg"));
    EXPECT_GT(countPixels(crossed, kInside, [](QRgb c) { return c == kBlue; }), kAll / 2);
    EXPECT_GE(fullRows(crossed).first, 4);
    EXPECT_GE(fullRows(crossed, true).first, 4);
}

const std::vector<wpg::WpgItem>& items(const DecodeResult& p)
{
    return dynamic_cast<const wpg::WpgPicture&>(*p.drawing).items();
}

// Decodes, and draws if it decoded.
Picture decodeAndDraw(const QString& file)
{
    const Picture p = decodeWpgPicture(fixture(file));
    EXPECT_TRUE(p.ok() && p.drawing) << p.status.reason;
    if (p.ok() && p.drawing)
        (void)render(p, QSize(64, 64));
    return p;
}

TEST(WpgVectorDamage, TruncatedAnywhereOrFloodedItGivesAnErrorOrKeepsWhatFits)
{
    // Files with every kind of record: shapes, curves, text, hatches, compounds, bitmaps.
    for (const char* sample : {"sample-wpg1.wpg", "sample-wpg2.wpg", "sample-wpg1-hatch.wpg",
                               "sample-wpg2-hatch.wpg", "sample-wpg2-text.wpg", "sample-wpg2-compound.wpg"}) {
        const QByteArray whole = fixture(QLatin1String(sample));
        const Picture full = decodeWpgPicture(whole);
        ASSERT_TRUE(full.ok()) << sample << " " << full.status.reason;
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            const Picture p = decodeWpgPicture(whole.first(cut));
            if (!p.ok()) {
                EXPECT_FALSE(p.status.reason.empty()) << cut;
                continue;
            }
            EXPECT_EQ(p.width, full.width) << cut; // a partial drawing keeps its size, and draws
            if (p.drawing)
                (void)render(p, QSize(64, 64));
        }
    }

    // A text line cut short places nothing; the rectangle before it is still drawn.
    EXPECT_EQ(items(decodeAndDraw(QStringLiteral("text-cut-short.wpg"))).size(), 1u);
    // 200000 bytes of text and function codes: the text is cut at its limit.
    Picture p = decodeAndDraw(QStringLiteral("text-flood.wpg ins=67:6162f201f280816364*20000"));
    ASSERT_EQ(items(p).size(), 1u);
    EXPECT_EQ(items(p)[0].text.size(), wpg::kMaxWpgTextLength);
    // Hundreds of lines in a tiny block: only what fits is kept.
    EXPECT_LE(items(decodeAndDraw(QStringLiteral("block-many-lines.wpg"))).size(), 2u);
    // A picture two units high drawn into a square stretches its text 2000 times more along y
    // than along x: drawn as outlines, not through Qt's glyph cache, which cannot take it.
    EXPECT_EQ(items(decodeAndDraw(QStringLiteral("text-stretched.wpg"))).size(), 2u);
    // Compounds nested far deeper than we follow, each claiming two billion parts.
    EXPECT_EQ(items(decodeAndDraw(QStringLiteral("compounds-nested.wpg"))).size(), 1u);
}

} // namespace
} // namespace mv::imaging::test
