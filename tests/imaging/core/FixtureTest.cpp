// Every row of tests/imaging/fixtures/MANIFEST: the decoders on files of every layout they read
// (each raster one checked against the picture it was written from when it was made) and on
// damaged copies, their sniffers, and the vector decoders' drawings, drawn and probed. Then what
// a row cannot judge: the WPG text stream's function codes, and every prefix of WPG files with
// every kind of record and what floods keep.
#include "../common/Checks.h"
#include "../common/Fixtures.h"
#include "TestPictures.h"

#include "imaging/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"
#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"
#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgPicture.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace mv::imaging::test {
namespace {

const QString kDir = QStringLiteral(MV_FIXTURES);

// Every decoder of our own with its sniffer, by the name of its fuzz target. A CUT picture's
// decoder, which also takes the palette file beside it, is called here without one.
struct Decoder {
    DecodeResult (*decode)(QByteArrayView);
    bool (*looksLike)(QByteArrayView);
};

const std::map<QString, Decoder>& decoders()
{
    static const std::map<QString, Decoder> d = {
        {"art", {decodeArt, looksLikeArt}},
        {"cut", {[](QByteArrayView data) { return decodeCut(data, {}); }, looksLikeCut}},
        {"dib", {decodeDib, looksLikeDib}},
        {"gemimg", {decodeGemImg, looksLikeGemImg}},
        {"hrz", {decodeHrz, looksLikeHrz}},
        {"iff", {decodeIff, looksLikeIff}},
        {"macpaint", {decodeMacPaint, looksLikeMacPaint}},
        {"msp", {decodeMsp, looksLikeMsp}},
        {"pcx", {decodePcx, looksLikePcx}},
        {"pic", {decodePic, looksLikePic}},
        {"sunraster", {decodeSunRaster, looksLikeSunRaster}},
        {"targa", {decodeTarga, looksLikeTarga}},
        {"wpg", {decodeWpg, looksLikeWpg}},
        {"wpgvector", {decodeWpgPicture, looksLikeWpg}},
        {"wmf", {decodeWmfData, looksLikeWmf}},
        {"emf", {decodeEmfData, looksLikeEmf}},
    };
    return d;
}

// The drawing drawn over white.
QImage render(const DecodeResult& p, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (p.drawing) {
        QPainter painter(&image);
        p.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return image;
}

// Pixels of the box darker than mid grey.
int darkPixels(const QImage& image, const QRect& box)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

struct Row {
    QString decoder, file, palette, expected, what;
    int line = 0;
};

// "decoder | file [& palette file] | expected | what", or "decoder? | file | yes|no | what"
// for the sniffer; '#' starts a comment.
std::vector<Row> manifest()
{
    std::vector<Row> rows;
    QFile file(kDir + QStringLiteral("/MANIFEST"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << qPrintable(file.fileName());
    QTextStream in(&file);
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine();
        if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = text.split(QStringLiteral(" | "));
        EXPECT_EQ(f.size(), 4) << "MANIFEST line " << line << " cannot be read";
        if (f.size() != 4)
            continue;
        rows.push_back({f[0], f[1].section(QStringLiteral(" & "), 0, 0),
                        f[1].section(QStringLiteral(" & "), 1), f[2], f[3], line});
    }
    return rows;
}

// "draws <w>x<h> x,y=#rrggbb~tolerance ... ink(x,y,w,h)<|=|>count ...": the drawing drawn at that
// size over white, each probe's pixel within its tolerance of its colour, and each box holding
// fewer, as many or more dark pixels (darker than mid grey) than the count.
testing::AssertionResult drawsAsListed(const DecodeResult& r, const QString& expected)
{
    const QStringList words = expected.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!r.ok() || !r.drawing || words.size() < 2)
        return testing::AssertionFailure() << "no drawing: " << r.status.reason;
    const QImage image = render(r, QSize(words[1].section(QLatin1Char('x'), 0, 0).toInt(),
                                         words[1].section(QLatin1Char('x'), 1).toInt()));
    for (const QString& word : words.mid(2)) {
        const QStringList p = word.split(QRegularExpression(QStringLiteral("[,=~()<>]")));
        if (!word.startsWith(QLatin1String("ink("))) {
            const QRgb c = image.pixel(p.value(0).toInt(), p.value(1).toInt());
            if (maxChannelDifference(c, QColor(p.value(2)).rgb()) > p.value(3).toInt())
                return testing::AssertionFailure()
                       << qPrintable(word) << ": " << qPrintable(QColor(c).name());
            continue;
        }
        const int dark = darkPixels(image, QRect(p[1].toInt(), p[2].toInt(), p[3].toInt(), p[4].toInt()));
        const QChar how = word[word.indexOf(QLatin1Char(')')) + 1];
        const int count = p.last().toInt();
        if (how == QLatin1Char('<') ? dark >= count : how == QLatin1Char('>') ? dark <= count : dark != count)
            return testing::AssertionFailure() << qPrintable(word) << ": " << dark << " dark pixels";
    }
    return testing::AssertionSuccess();
}

TEST(Fixtures, EveryRowDecodesOrIsRefusedAsListed)
{
    std::set<QString> used;
    const std::vector<Row> rows = manifest();
    EXPECT_GT(rows.size(), 300u);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "MANIFEST line " << row.line << ": " << qPrintable(row.what));
        const QString name = row.file.section(QLatin1Char(' '), 0, 0);
        const QByteArray data = fixtureBytes(kDir, row.file), palette = fixtureBytes(kDir, row.palette);
        used.insert(name);
        used.insert(row.palette.section(QLatin1Char(' '), 0, 0));
        // Through the entry point, which takes the type from the name too; "!": the probe.
        if (row.decoder.startsWith(QLatin1String("picture."))) {
            if (row.decoder.endsWith(QLatin1Char('!'))) {
                EXPECT_EQ(summary(probePictureData(data, name)), row.expected.toStdString());
            } else {
                const Picture p = decodePictureData(data, name);
                EXPECT_EQ(p.typeName.toStdString() + " " + outcome(p), row.expected.toStdString());
            }
            continue;
        }
        const bool sniff = row.decoder.endsWith(QLatin1Char('?'));
        const auto it = decoders().find(sniff ? row.decoder.chopped(1) : row.decoder);
        ASSERT_NE(it, decoders().end()) << "no decoder " << qPrintable(row.decoder);
        const auto decoded = [&] {
            return row.decoder == QLatin1String("cut") ? decodeCut(data, palette) : it->second.decode(data);
        };
        if (sniff)
            EXPECT_EQ(it->second.looksLike(data) ? "yes" : "no", row.expected.toStdString());
        else if (row.expected.startsWith(QLatin1String("draws ")))
            EXPECT_TRUE(drawsAsListed(decoded(), row.expected));
        else
            EXPECT_EQ(outcome(decoded()), row.expected.toStdString());
    }
    // A file no row reads would be a case nobody tests.
    for (const QString& name : QDir(kDir).entryList(QDir::Files))
        EXPECT_TRUE(name == QLatin1String("MANIFEST") || used.count(name))
            << qPrintable(name) << " has no row";
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
