// The store's text: what is written reads back, what a hand wrote is understood, and anything
// else is damage.
#include "shell/RegFormat.h"
#include "shell/RegEscape.h"

#include <gtest/gtest.h>

namespace mv::shell {
namespace {

QByteArray withHeader(const QByteArray& body)
{
    return QByteArray(kRegHeader) + "\n" + body;
}

TEST(RegFormat, EscapesEveryAwkwardCharacterAndReadsItBack)
{
    const QString nasty =
        QStringLiteral("a\\b\"c\nd\re=f[x]\t\x01\x7f") + QChar(0) + QStringLiteral("Bücher/日本 😀");
    const QString lone = QString(QChar(0xd800)) + QStringLiteral("x") + QChar(0xdfff);
    EXPECT_EQ(quoteRegString("a\\b\"c\nd\re\x01"), "\"a\\\\b\\\"c\\nd\\re\\x01\"");
    EXPECT_EQ(quoteRegString(lone), "\"\\ud800x\\udfff\"");

    RegDocument doc;
    doc.setValue("K", RegValue {nasty, true, nasty});
    doc.setValue("K", RegValue {"lone", true, lone});
    const QByteArray text = writeRegText(doc);
    EXPECT_EQ(text.count('\n'), 6) << "no value may span lines";

    RegDocument back;
    QString error;
    ASSERT_TRUE(parseRegText(text, &back, &error)) << error.toStdString();
    ASSERT_NE(back.findValue("K", nasty), nullptr);
    EXPECT_EQ(back.findValue("K", nasty)->text, nasty);
    EXPECT_EQ(back.findValue("K", "lone")->text, lone);
}

TEST(RegFormat, AcceptsHandEditedFiles)
{
    RegDocument doc;
    QString error;
    const QByteArray text = "\xEF\xBB\xBF" + withHeader("; comment\r\n"
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
    EXPECT_EQ(doc.keys()[0].path, "Soft\\Key");
    EXPECT_EQ(doc.keys()[1].path, "Empty");
    const QString key = "SOFT\\KEY";
    const std::pair<const char*, const char*> values[] = {
        {"", "default via empty name"}, {"tab", "a\tb"},    {"bin", "hex:01,02,03,ff"},
        {"multi", "hex(7):41,00"},      {"same", "second"}, {"later", "merged"}};
    for (const auto& [name, expected] : values) {
        ASSERT_NE(doc.findValue(key, name), nullptr) << name;
        EXPECT_EQ(doc.findValue(key, name)->text, expected) << name;
    }
    EXPECT_FALSE(doc.findValue(key, "bin")->isString);
    EXPECT_EQ(doc.findValue(key, "same")->name, "same");
    EXPECT_TRUE(parseRegText(QByteArray(), &doc, &error));
    EXPECT_TRUE(doc.keys().empty());
}

TEST(RegFormat, RejectsAnythingElseAsDamagedNamingTheLine)
{
    // Each value line is tried in a section [K].
    const QByteArray values[] = {"just some words",
                                 "\"a\"=\"unterminated",
                                 "\"a\"=\"b\" trailing",
                                 "\"a\"=\"bad \\q escape\"",
                                 "\"a\"=\"\\x4\"",
                                 "\"a\"=-",
                                 "\"a\"=dword:2a",
                                 "\"a\"=hex:1,2",
                                 "\"a\"=hex:01,\\", // continuation at end of file
                                 "\"a\"",
                                 "\"a\"=\"b\xff\"",        // invalid UTF-8
                                 "\"a\"=\"\xed\xa0\x80\"", // encoded surrogate
                                 "\"a\"=\"b" + QByteArray(8, '\0') + "\""};
    std::vector<QByteArray> damaged = {"[K]\n\"a\"=\"b\"\n",                     // no header
                                       "Windows Registry Editor Version 5.00\n", // not ours
                                       withHeader("\"a\"=\"b\"\n"),              // value before a section
                                       withHeader("[K\n"),
                                       withHeader("[A\\\\B]\n"),
                                       withHeader("[]\n"),
                                       QByteArray(64, '\0')};
    for (const QByteArray& value : values)
        damaged.push_back(withHeader("[K]\n" + value + "\n"));
    for (const QByteArray& bytes : damaged) {
        RegDocument doc;
        doc.setValue("Stale", RegValue {"x", true, "y"});
        QString error;
        EXPECT_FALSE(parseRegText(bytes, &doc, &error)) << bytes.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(doc.keys().empty()) << "a failed parse must not hand out half a store";
    }
    RegDocument doc;
    QString error;
    ASSERT_FALSE(parseRegText(withHeader("[K]\n\"a\"=\"b\"\noops\n"), &doc, &error));
    EXPECT_TRUE(error.startsWith("line 4:")) << error.toStdString();
}

} // namespace
} // namespace mv::shell
