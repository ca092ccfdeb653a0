// Every row of tests/imaging/fixtures/MANIFEST: the decoders on files of every layout they read
// (each raster one checked against the picture it was written from when it was made) and on
// damaged copies, their sniffers, and the vector decoders' drawings, drawn and probed.
#include "../common/Checks.h"
#include "../common/Decoders.h"
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/PictureDecoder.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

#include <set>

namespace mv::imaging::test {
namespace {

const QString kDir = QStringLiteral(MV_FIXTURES);

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
    std::vector<Probe> probes;
    for (const QString& word : words.mid(2)) {
        const QStringList p = word.split(QRegularExpression(QStringLiteral("[,=~()<>]")));
        if (!word.startsWith(QLatin1String("ink("))) {
            probes.push_back(
                {p.value(0).toInt(), p.value(1).toInt(), QColor(p.value(2)), p.value(3).toInt()});
            continue;
        }
        const int dark = darkPixels(image, QRect(p[1].toInt(), p[2].toInt(), p[3].toInt(), p[4].toInt()));
        const QChar how = word[word.indexOf(QLatin1Char(')')) + 1];
        const int count = p.last().toInt();
        if (how == QLatin1Char('<') ? dark >= count : how == QLatin1Char('>') ? dark <= count : dark != count)
            return testing::AssertionFailure() << qPrintable(word) << ": " << dark << " dark pixels";
    }
    return pixelsAre(image, probes);
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

} // namespace
} // namespace mv::imaging::test
