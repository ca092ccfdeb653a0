// WordPerfect graphics: damaged and hostile files with vector records: truncation anywhere, point
// counts beyond the record, sizes past the end, zero-size start records, floods of records.
#include "../common/Render.h"
#include "../common/Seeds.h"
#include "WpgWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgPicture.h"
#include "imaging/wpg/WpgStyle.h"

namespace mv::imaging::test {
namespace {

QImage renderWpg(const QByteArray& file, QSize size)
{
    return renderVector(decodeWpgPicture, file, size);
}

const QSize kSize(64, 64);

QByteArray wpg1Sample()
{
    return wpg1File(2400, 1200,
                    {wpgColours(1, {qRgb(255, 0, 0)}), wpg1Fill(1, 1), wpg1Line(1, 1, 24),
                     wpg1Words(0x07, {240, 240, 480, 480}),
                     wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}}),
                     wpg1Words(0x09, {600, 600, 400, 200, 30, 0, 0, 0}),
                     wpg1Points(0x13, {{0, 600}, {800, 900}, {1600, 300}, {2400, 600}}),
                     wpg1TextAttributes(240, 1), wpg1Text(100, 100, "WPG")});
}

QByteArray wpg2Sample()
{
    const WpgBitmapInput s {.width = 4, .height = 4, .depth = 4, .value = [](int x, int y) {
                                return std::uint32_t((x + y) & 15);
                            }};
    return wpg2File(1200, 2400, 1200,
                    {wpg2Colour(0x31, qRgb(255, 0, 0), true), wpg2Colour(0x25, qRgb(0, 0, 255)),
                     wpg2Object(0x18, 0xA000, {240, 240, 720, 720, 40, 40}),
                     wpg2Object(0x15, 0xE000, {1500, 100, 2300, 100, 1900, 1100}, 3),
                     wpg2Object(0x19, 0xA000, {600, 600, 400, 200, 400, 0, 0, 200}),
                     wpg2Object(0x17, 0x8000, {0, 600, 0, 600, 800, 900, 1600, 300, 2400, 600, 2400, 600}, 2),
                     wpg2PlacedBitmap(s, 1200, 0, 2400, 600)});
}

const std::vector<wpg::WpgItem>& items(const DecodeResult& p)
{
    return dynamic_cast<const wpg::WpgPicture&>(*p.drawing).items();
}

QByteArray wpg1HatchSample()
{
    return wpg1File(2400, 1200,
                    {wpgColours(1, {qRgb(255, 0, 0)}), wpg1Fill(18, 1), wpg1Words(0x07, {240, 240, 480, 480}),
                     wpg1Fill(2, 1), wpg1Words(0x07, {1000, 240, 480, 480}), wpg1Fill(14, 1),
                     wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}})});
}

QByteArray wpg2HatchSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2Colour(0x31, qRgb(255, 0, 0), true), wpg2BrushPattern(20),
                     wpg2Object(0x18, 0xA000, {240, 240, 720, 720, 0, 0}), wpg2BrushPattern(5),
                     wpg2Object(0x19, 0xA000, {1600, 600, 400, 200, 400, 0, 400, 0})});
}

QByteArray wpg2TextSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2TextLine(100, 600, 1, 30),
                     wpg2TextData("WPG \xF0"
                                  "A\x00\xF0 line"),
                     wpg2TextBox(240, 1100, 1200, 700),
                     wpg2TextData(QByteArray("one\xD0\x01\x08\x00\x00\x08\x00\xD0two", 14)),
                     wpg2TextBox(1300, 1100, 2300, 700, 0x1E), wpg2TextData("path")});
}

QByteArray wpg2CompoundSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2Compound(0xA000, 3), wpg2Object(0x15, 0, {240, 100, 1140, 100, 1140, 1000}, 3),
                     wpg2Object(0x17, 0, {400, 300, 400, 300, 700, 300, 800, 800, 800, 800, 400, 300}, 2),
                     wpg2Object(0x18, 0, {1500, 100, 2300, 1000, 0, 0})});
}

TEST(WpgVectorDamage, TruncatedAnywhereGivesAnErrorOrAPartialPicture)
{
    for (const QByteArray& whole : {wpg1Sample(), wpg2Sample(), wpg1HatchSample(), wpg2HatchSample(),
                                    wpg2TextSample(), wpg2CompoundSample()}) {
        const Picture full = decodeWpgPicture(whole);
        ASSERT_TRUE(full.ok()) << full.status.reason;
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            SCOPED_TRACE(cut);
            const Picture p = decodeWpgPicture(whole.first(cut));
            if (!p.ok()) {
                EXPECT_FALSE(p.status.reason.empty());
                continue;
            }
            // A partial drawing keeps the size the start record gave, and draws.
            EXPECT_EQ(p.width, full.width);
            if (p.drawing)
                (void)render(p, kSize);
        }
    }
}

TEST(WpgVectorDamage, PointCountsAndRecordLengthsAreCappedByWhatIsThere)
{
    // 65535 points claimed, three stored: the triangle is still drawn, from its three points.
    const QByteArray file = wpg1File(
        2400, 1200, {wpg1Fill(1, 4), wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}}, 65535)});
    // EGA red, the default colour 4.
    EXPECT_TRUE(pixelsAre(renderWpg(file, QSize(192, 96)),
                          {{152, 62, qRgb(0xAA, 0, 0), 60}, {40, 50, qRgb(255, 255, 255), 0}}));

    const QByteArray file2 = wpg2File(1200, 2400, 1200,
                                      {wpg2Object(0x17, 0xE000, {0, 0, 10, 10}, 65535),
                                       wpg2Object(0x15, 0x8000, {0, 0, 2400, 1200}, 40000)});
    Picture p = decodeWpgPicture(file2);
    ASSERT_TRUE(p.ok()) << p.status.reason;
    (void)render(p, kSize);
    // Records past the end end the playback with what was drawn.
    QByteArray past = wpg1File(2400, 1200, {wpg1Fill(1, 4), wpg1Words(0x07, {240, 240, 480, 480})});
    past.chop(2);                                   // drop the end record
    past.append(QByteArray("\x07\xFF\xFF\x7F", 4)); // a rectangle of 32767 bytes that are not there
    p = decodeWpgPicture(past);
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_TRUE(pixelsAre(render(p, QSize(192, 96)), {{38, 57, qRgb(0xAA, 0, 0), 60}}));
}

TEST(WpgVectorDamage, UnusableOrMissingStartRecordsAreRefused)
{
    const QByteArray line = wpg1Words(0x05, {0, 0, 100, 100});
    Picture p = decodeWpgPicture(wpg1File(0, 1200, {line}));
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.reasonText().startsWith(QStringLiteral("the picture has no size"))) << p.status.reason;
    p = decodeWpgPicture(wpg1File(2400, 0, {line}));
    EXPECT_FALSE(p.ok());

    // No start record at all.
    QByteArray noStart = wpg1File(2400, 1200, {line});
    noStart.remove(16, 8);
    p = decodeWpgPicture(noStart);
    EXPECT_FALSE(p.ok());
    EXPECT_FALSE(p.status.reason.empty());
    // Version 2: no unit, no size, or 30000 inches wide at 1 unit per inch, far beyond what we draw.
    const QByteArray line2 = wpg2Object(0x15, kWpg2Framed, {0, 0, 100, 100}, 2);
    EXPECT_EQ(decodeWpgPicture(wpg2File(0, 2400, 1200, {line2})).reasonText(),
              QStringLiteral("the picture has no unit of measure"));
    EXPECT_EQ(decodeWpgPicture(wpg2File(1200, 0, 1200, {line2})).reasonText(),
              QStringLiteral("the picture has no size"));
    EXPECT_TRUE(failsWith(decodeWpgPicture(wpg2File(1, 30000, 10, {line2})), "too large"));
}

TEST(WpgVectorDamage, FloodsHugeShapesTextAndCompoundsStayBounded)
{
    // 300000 unknown records, then a rectangle that comes too late to be drawn.
    QList<QByteArray> records(300000, wpg1Rec(0x30, QByteArray(1, '\0')));
    records.append(wpg1Words(0x07, {0, 0, 2400, 1200}));
    records.prepend(wpg1Line(1, 1, 0));
    records.prepend(wpg1Words(0x05, {0, 0, 10, 10}));
    Picture p = decodeWpgPicture(wpg1File(2400, 1200, records));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_TRUE(pixelsAre(render(p, QSize(192, 96)), {{96, 48, qRgb(255, 255, 255), 0}}));

    // Coordinates and pen widths at their extremes.
    p = decodeWpgPicture(wpg1File(
        65535, 65535,
        {wpg1Line(1, 1, 65535), wpg1Words(0x09, {0x8000, 0x7FFF, 0xFFFF, 0xFFFF, 0x7FFF, 0x8000, 0x7FFF, 0}),
         wpg1TextAttributes(65534, 1), wpg1Text(0, 0, QByteArray(4000, 'W'))}));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    (void)render(p, kSize);
    // A text line cut short places nothing; the rectangle before it is still drawn.
    QByteArray line = wpg2TextLine(100, 600);
    line = wpg2Rec(0x1C, line.mid(4, 7));
    p = decodeWpgPicture(
        wpg2File(1200, 2400, 1200,
                 {wpg2Colour(0x31, qRgb(255, 0, 0), true),
                  wpg2Object(0x18, 0x2000, {240, 240, 720, 720, 0, 0}), line, wpg2TextData("lost")}));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(items(p).size(), 1u);
    EXPECT_TRUE(pixelsAre(render(p, QSize(192, 96)), {{38, 57, qRgb(255, 0, 0), 0}}));

    // 200000 bytes of text and function codes: the text is cut at its limit.
    QByteArray flood;
    for (int i = 0; i < 20000; ++i)
        flood += QByteArray("ab\xF2\x01\xF2\x80\x81", 7) + "cd";
    p = decodeWpgPicture(wpg2File(1200, 2400, 1200, {wpg2TextLine(0, 600), wpg2TextData(flood)}));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    ASSERT_EQ(items(p).size(), 1u);
    EXPECT_EQ(items(p)[0].text.size(), wpg::kMaxWpgTextLength);
    (void)render(p, kSize);

    // Hundreds of lines in a tiny block: only what fits is kept.
    QByteArray lines;
    for (int i = 0; i < 500; ++i)
        lines += QByteArray("x\xD0\x01\x08\x00\x00\x08\x00\xD0", 9);
    p = decodeWpgPicture(wpg2File(1200, 2400, 1200, {wpg2TextBox(0, 1200, 2400, 1000), wpg2TextData(lines)}));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_LE(items(p).size(), 2u);

    // A picture two units high drawn into a square stretches its text 2000 times more along y
    // than along x: drawn as outlines, not through Qt's glyph cache, which cannot take it.
    p = decodeWpgPicture(
        wpg2File(1200, 2400, 2,
                 {wpg2TextLine(0, 1), wpg2TextData("HH"), wpg2TextBox(0, 2, 2400, 0), wpg2TextData("HH")}));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(items(p).size(), 2u);
    (void)render(p, kSize);
    // The file the fuzzer found this with: a stretched picture whose text block crashed Qt.
    p = decodeWpgPicture(QByteArray::fromBase64(
        "/1dQQxAAAAABFgIAAAAAAAoBABWwBLD0AAAAAABgCbAEAA4HAQgOA2AJDAwMDAwMDAwMDAwMDAwMDAwMDAwMDE5OTk5OTk5O"
        "Tk5OTk5OTk5OTk5OTk5OTk5OTk5OTk5OTk5ODAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwMDLAEAAACFAAKGAAAAABYAgEAAAAe"
        "AAoPAAZXUEcg8EEKHQAKAADwAEwEsAS8AgoPAA5vbmXQAQgAAAgA0HR3bwoeAAoAAA=="));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    (void)render(p, kSize);

    // Compounds nested far deeper than we follow, each claiming two billion parts.
    QList<QByteArray> nested;
    for (int i = 0; i < 1000; ++i)
        nested.append(wpg2Compound(0xA000, 0x7FFFFFFF));
    nested.append(wpg2Object(0x15, 0, {0, 0, 2400, 0, 2400, 1200}, 3));
    p = decodeWpgPicture(wpg2File(1200, 2400, 1200, nested));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(items(p).size(), 1u);
    (void)render(p, kSize);
}

TEST(WpgVectorDamage, SeedsDecodeAndAreWrittenOnRequest)
{
    // A vector picture: decodeWpgPicture would fall back to the largest bitmap.
    const auto vector = [](QByteArrayView v) {
        DecodeResult r = decodeWpgPicture(v);
        return r.isVector() ? r : DecodeResult();
    };
    checkSeeds({{"wpgvector/wpg1_shapes.wpg", wpg1Sample(), vector},
                {"wpgvector/wpg2_shapes.wpg", wpg2Sample(), vector},
                {"wpgvector/wpg1_hatch.wpg", wpg1HatchSample(), vector},
                {"wpgvector/wpg2_hatch.wpg", wpg2HatchSample(), vector},
                {"wpgvector/wpg2_text.wpg", wpg2TextSample(), vector},
                {"wpgvector/wpg2_compound.wpg", wpg2CompoundSample(), vector}},
               4096);
}

} // namespace
} // namespace mv::imaging::test
