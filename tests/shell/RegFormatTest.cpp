#include "shell/RegEscape.h"
#include "shell/RegFormat.h"

#include <gtest/gtest.h>

namespace mv::shell {
namespace {

QByteArray withHeader(const char* body)
{
    return QByteArray(kRegHeader) + "\n" + body;
}

TEST(RegFormat, WritesReadableSectionsAndValues)
{
    RegDocument doc;
    doc.setValue(QStringLiteral("A\\B"), RegValue{QStringLiteral("Last Dir"), true, QStringLiteral("/home/x")});
    doc.setValue(QStringLiteral("A\\B"), RegValue{QString(), true, QStringLiteral("dflt")});
    doc.setValue(QStringLiteral("A\\B"), RegValue{QStringLiteral("n"), false, QStringLiteral("dword:0000002a")});
    EXPECT_EQ(writeRegText(doc).toStdString(),
              "Mirravelnock settings 1\n\n"
              "[A]\n\n"
              "[A\\B]\n"
              "\"Last Dir\"=\"/home/x\"\n"
              "@=\"dflt\"\n"
              "\"n\"=dword:0000002a\n\n");
}

TEST(RegFormat, EscapesEveryAwkwardCharacterAndReadsItBack)
{
    const QString nasty = QStringLiteral("a\\b\"c\nd\re=f[x]\t\x01\x7f") + QChar(0) + QStringLiteral("Bücher/日本 😀");
    const QString lone = QString(QChar(0xd800)) + QStringLiteral("x") + QChar(0xdfff);
    EXPECT_EQ(quoteRegString(QStringLiteral("a\\b\"c\nd\re\x01")), QStringLiteral("\"a\\\\b\\\"c\\nd\\re\\x01\""));
    EXPECT_EQ(quoteRegString(lone), QStringLiteral("\"\\ud800x\\udfff\""));

    RegDocument doc;
    doc.setValue(QStringLiteral("K"), RegValue{nasty, true, nasty});
    doc.setValue(QStringLiteral("K"), RegValue{QStringLiteral("lone"), true, lone});
    const QByteArray text = writeRegText(doc);
    EXPECT_EQ(text.count('\n'), 6) << "no value may span lines";

    RegDocument back;
    QString error;
    ASSERT_TRUE(parseRegText(text, &back, &error)) << error.toStdString();
    ASSERT_NE(back.findValue(QStringLiteral("K"), nasty), nullptr);
    EXPECT_EQ(back.findValue(QStringLiteral("K"), nasty)->text, nasty);
    EXPECT_EQ(back.findValue(QStringLiteral("K"), QStringLiteral("lone"))->text, lone);
}

TEST(RegFormat, AcceptsHandEditedFiles)
{
    RegDocument doc;
    QString error;
    const QByteArray text = "\xEF\xBB\xBF" + withHeader(
        "; comment\r\n"
        "# another\n"
        "\n"
        "  [Soft\\Key]  \n"
        "\"\"=\"default via empty name\"\n"
        "\"tab\"=\"a\tb\"\n"
        "\"bin\"=hex:01,02,\\\n"
        "  03,ff\n"
        "\"multi\"=hex(7):41,00\n"
        "\"same\"=\"first\"\n"
        "\"SAME\"=\"second\"\n"
        "[soft\\key]\n"
        "\"later\"=\"merged\"\n"
        "[Empty]\n");
    ASSERT_TRUE(parseRegText(text, &doc, &error)) << error.toStdString();
    ASSERT_EQ(doc.keys().size(), 2u);
    EXPECT_EQ(doc.keys()[0].path, QStringLiteral("Soft\\Key"));
    EXPECT_EQ(doc.keys()[1].path, QStringLiteral("Empty"));
    const QString key = QStringLiteral("SOFT\\KEY");
    EXPECT_EQ(doc.findValue(key, QString())->text, QStringLiteral("default via empty name"));
    EXPECT_EQ(doc.findValue(key, QStringLiteral("tab"))->text, QStringLiteral("a\tb"));
    EXPECT_FALSE(doc.findValue(key, QStringLiteral("bin"))->isString);
    EXPECT_EQ(doc.findValue(key, QStringLiteral("bin"))->text, QStringLiteral("hex:01,02,03,ff"));
    EXPECT_EQ(doc.findValue(key, QStringLiteral("multi"))->text, QStringLiteral("hex(7):41,00"));
    EXPECT_EQ(doc.findValue(key, QStringLiteral("same"))->text, QStringLiteral("second"));
    EXPECT_EQ(doc.findValue(key, QStringLiteral("same"))->name, QStringLiteral("same"));
    EXPECT_EQ(doc.findValue(key, QStringLiteral("later"))->text, QStringLiteral("merged"));
    EXPECT_TRUE(parseRegText(QByteArray(), &doc, &error));
    EXPECT_TRUE(doc.keys().empty());
}

TEST(RegFormat, RejectsAnythingElseAsDamaged)
{
    const std::vector<QByteArray> damaged = {
        QByteArray("[K]\n\"a\"=\"b\"\n"),                       // no header
        QByteArray("Windows Registry Editor Version 5.00\n"),  // not ours
        withHeader("\"a\"=\"b\"\n"),                            // value before a section
        withHeader("[K]\njust some words\n"),
        withHeader("[K]\n\"a\"=\"unterminated\n"),
        withHeader("[K]\n\"a\"=\"b\" trailing\n"),
        withHeader("[K]\n\"a\"=\"bad \\q escape\"\n"),
        withHeader("[K]\n\"a\"=\"\\x4\"\n"),
        withHeader("[K]\n\"a\"=-\n"),
        withHeader("[K]\n\"a\"=dword:2a\n"),
        withHeader("[K]\n\"a\"=hex:1,2\n"),
        withHeader("[K]\n\"a\"=hex:01,\\\n"),                   // continuation at end of file
        withHeader("[K]\n\"a\"\n"),
        withHeader("[K\n"),
        withHeader("[A\\\\B]\n"),
        withHeader("[]\n"),
        withHeader("[K]\n\"a\"=\"b\xff\"\n"),                   // invalid UTF-8
        withHeader("[K]\n\"a\"=\"\xed\xa0\x80\"\n"),            // encoded surrogate
        withHeader("[K]\n\"a\"=\"b") + QByteArray(8, '\0') + "\"\n",
        QByteArray(64, '\0'),
    };
    for (const QByteArray& bytes : damaged) {
        RegDocument doc;
        doc.setValue(QStringLiteral("Stale"), RegValue{QStringLiteral("x"), true, QStringLiteral("y")});
        QString error;
        EXPECT_FALSE(parseRegText(bytes, &doc, &error)) << bytes.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(doc.keys().empty()) << "a failed parse must not hand out half a store";
    }
}

TEST(RegFormat, ReportsTheLineOfTheDamage)
{
    RegDocument doc;
    QString error;
    ASSERT_FALSE(parseRegText(withHeader("[K]\n\"a\"=\"b\"\noops\n"), &doc, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line 4:"))) << error.toStdString();
}

} // namespace
} // namespace mv::shell
