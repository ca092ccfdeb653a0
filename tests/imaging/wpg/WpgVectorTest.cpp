// WordPerfect graphics where the fixtures' MANIFEST cannot judge: the text stream's function
// codes, every prefix of files with every kind of record, and what floods of text, lines and
// compounds keep. Shapes, pens, brushes, hatches, transforms, text in its place, compound
// outlines, placed bitmaps and refused headers are rows of the MANIFEST.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/base/Picture.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgPicture.h"

namespace mv::imaging::test {
namespace {

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
