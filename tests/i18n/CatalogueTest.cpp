// The German catalogue against the code's texts, and the choice of a language from the locale.
#include "fileutil/FileResult.h"
#include "i18n/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace mv::i18n {
namespace {

struct Message {
    QString context, source, type;
    QStringList forms; // one, or the plural forms
    bool numerus = false;
};

QList<Message> readCatalogue(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QList<Message> out;
    QString context;
    Message m;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"name")
            context = xml.readElementText();
        else if (name == u"message")
            m = {context, {}, {}, {}, xml.attributes().value(QStringLiteral("numerus")) == u"yes"};
        else if (name == u"source")
            m.source = xml.readElementText();
        else if (name == u"translation") {
            m.type = xml.attributes().value(QStringLiteral("type")).toString();
            if (!m.numerus)
                m.forms << xml.readElementText();
            else
                while (xml.readNextStartElement())
                    m.forms << xml.readElementText();
            out << m;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

// "%1", "%n" ... in the order they stand, sorted: a translation may reorder, not drop or add.
std::string markers(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d|n)"));
    QStringList found;
    for (const auto& match : marker.globalMatch(text))
        found << match.captured();
    found.sort();
    return found.join(u' ').toStdString();
}

int mnemonics(QString text)
{
    return int(text.remove(QStringLiteral("&&")).count(u'&'));
}

std::string edges(const QString& text)
{
    static const QRegularExpression ends(QStringLiteral("^\\s*|\\s*$"));
    QStringList out;
    for (const auto& match : ends.globalMatch(text))
        out << match.captured();
    return out.join(u'|').toStdString();
}

// lupdate over the code into a copy of the catalogue: texts new to the code come in
// unfinished, texts gone from it are marked vanished.
TEST(GermanCatalogue, HoldsEveryTextOfTheCodeFinishedWithItsMarkersAndMnemonics)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("mirravelnock_de.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MV_SOURCE_DIR "/translations/mirravelnock_de.ts"), copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(MV_SOURCE_DIR));
    lupdate.start(QStringLiteral(MV_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("src"), QStringLiteral("apps"), QStringLiteral("-ts"), copy});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const QList<Message> messages = readCatalogue(copy);
    EXPECT_GT(messages.size(), 500);
    for (const Message& m : messages) {
        const std::string where = (m.context + QStringLiteral(" | ") + m.source).toStdString();
        EXPECT_TRUE(m.type.isEmpty()) << m.type.toStdString() << ": " << where;
        ASSERT_EQ(m.forms.size(), m.numerus ? 2 : 1) << where;
        for (const QString& form : m.forms) {
            EXPECT_FALSE(form.isEmpty()) << where;
            EXPECT_EQ(markers(form), markers(m.source)) << where;
            EXPECT_EQ(mnemonics(form), mnemonics(m.source)) << where;
            EXPECT_EQ(edges(form), edges(m.source)) << "spaces and line breaks at the ends: " << where;
        }
    }
}

// The layers without Qt speak English; their fixed words (a step's name, the engine's reasons)
// must be in the catalogue, under the context they are shown in, or they stay English.
TEST(GermanCatalogue, HoldsTheFixedWordsOfTheLayersWithoutQt)
{
    QSet<QString> held;
    for (const Message& m : readCatalogue(QStringLiteral(MV_SOURCE_DIR "/translations/mirravelnock_de.ts")))
        if (m.context == u"mv::fileio")
            held << m.source;
    static const QRegularExpression fixed(QStringLiteral(
        R"re(\b(?:failWith|failWithErrno|declineWith|setError)\("([^"]+)"|const char\*(?: const)? k\w*(?:Step|Damaged|CannotWrite) = "([^"]+)")re"));
    int found = 0;
    for (const char* folder : {"engine", "fileio", "sandbox", "imaging", "crypto"}) {
        QDirIterator files(QStringLiteral(MV_SOURCE_DIR "/src/") + QLatin1String(folder),
                           {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            for (const auto& match : fixed.globalMatch(QString::fromUtf8(file.readAll()))) {
                const QString text = match.captured(1) + match.captured(2);
                ++found;
                EXPECT_TRUE(held.contains(text))
                    << text.toStdString() << " in " << file.fileName().toStdString();
            }
        }
    }
    EXPECT_GT(found, 30);
}

TEST(Language, ComesFromTheLocaleAsGettextReadsIt)
{
    const struct {
        const char* language;
        const char* all;
        const char* messages;
        const char* lang;
        const char* chosen;
    } cases[] = {
        {"de", "", "", "", "de"},
        {"de_AT:en", "", "", "en_US.UTF-8", "de"},
        {"fr:de_CH", "", "", "", "de"},       // a language without a catalogue is passed over
        {"en:de", "", "", "de_DE.UTF-8", ""}, // English first: the program's own texts
        {"fr", "", "", "de_DE.UTF-8", ""},    // the LANGUAGE list decides alone
        {"", "", "", "de_DE.UTF-8", "de"},
        {"", "C", "", "de_DE.UTF-8", ""},            // LC_ALL over LANG
        {"", "", "de_DE@euro", "en_GB.UTF-8", "de"}, // LC_MESSAGES over LANG
        {"", "", "C.UTF-8", "de_DE.UTF-8", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const std::map<std::string, QByteArray> env {
            {"LANGUAGE", c.language}, {"LC_ALL", c.all}, {"LC_MESSAGES", c.messages}, {"LANG", c.lang}};
        EXPECT_EQ(chooseLanguage([&](const char* name) { return env.at(name); }).toStdString(), c.chosen)
            << c.language << " / " << c.all << " / " << c.messages << " / " << c.lang;
    }
}

// The menus in German are the German window test's.
TEST(Language, GermanTranslatesTheProgramAndQtsOwnButtonsEnglishNothing)
{
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    ASSERT_TRUE(installTranslators(*QCoreApplication::instance(), QString()));
    EXPECT_EQ(cancel(), u"Cancel");
    ASSERT_TRUE(installTranslators(*QCoreApplication::instance(), QStringLiteral("de")));
    EXPECT_EQ(cancel(), u"Abbrechen") << "Qt's catalogues: qt6-translations-l10n";
    // A result of the layers without Qt: step, the engine's words, then the system's own.
    EXPECT_EQ(
        fileutil::resultText(fileio::Status::failure("put in place", "cannot read the source: Bad file")),
        u"an ihren Platz setzen: die Quelle kann nicht gelesen werden: Bad file");
    // The plural forms and the sentence the delete question used to glue.
    EXPECT_EQ(QCoreApplication::translate("mv::fileutil", "Delete the selected %n files?", nullptr, 3),
              u"Die 3 ausgewählten Dateien löschen?");
}

} // namespace
} // namespace mv::i18n
