// The registry calls as the program makes them: keys, values, case, deletion, and the text
// they leave in the store. The store's text itself: what is written reads back, what a hand
// wrote is understood, and anything else is damage.
#include "ConfigFixture.h"

#include "shell/RegEscape.h"
#include "shell/RegFormat.h"

namespace mv::shell {
namespace {

using RegistryTest = test::ConfigFixture;
using test::kSettings;

// Values never written read empty and reading creates nothing. Settings hang from the product
// key, every parent key is written, every value as a string, an empty text is kept as a value,
// and nobody else may read the file.
TEST_F(RegistryTest, SettingsAreReadableTextInAPrivateFileUnderTheProductKey)
{
    EXPECT_EQ(GetSetting(kSettings, "Last Dir"), QString());
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, ".jpg", QString()), QString());
    EXPECT_FALSE(registryError().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(storeDir())) << "reading must not create the store";

    ASSERT_TRUE(SaveSetting(kSettings, "Last Dir", "/home/me/Bücher"));
    EXPECT_TRUE(registryError().isEmpty());
    EXPECT_EQ(GetSetting(kSettings, "b"), QString());
    EXPECT_EQ(GetSetting("Other", "Last Dir"), QString());
    ASSERT_TRUE(SaveSetting(kSettings, "x", "full"));
    ASSERT_TRUE(SaveSetting(kSettings, "x", QString()));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, "Software\\Classes\\Deep", "v", 4 /* ignored */, "42"));
    EXPECT_EQ(readAll(userStore()).toStdString(),
              "Mirravelnock settings 1\n\n"
              "[Software]\n\n"
              "[Software\\Braxmoor Laboratories]\n\n"
              "[Software\\Braxmoor Laboratories\\Mirravelnock!]\n\n"
              "[Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings]\n"
              "\"Last Dir\"=\"/home/me/B\xc3\xbc"
              "cher\"\n"
              "\"x\"=\"\"\n\n"
              "[Software\\Classes]\n\n"
              "[Software\\Classes\\Deep]\n"
              "\"v\"=\"42\"\n\n");
    EXPECT_EQ(modeOf(userStore()), 0600u);
    EXPECT_EQ(modeOf(storeDir()), 0700u);

    EXPECT_EQ(GetSetting(kSettings, "x"), QString());
    EXPECT_TRUE(registryError().isEmpty()) << "the value exists, it is just empty";
    ASSERT_TRUE(DeleteSetting(kSettings, "Last Dir"));
    EXPECT_EQ(GetSetting(kSettings, "Last Dir"), QString());
}

// Long values read back whole.
TEST_F(RegistryTest, OddNamesAndLongValuesRoundTrip)
{
    for (const int length : {2047, 2048, 1'000'000}) {
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = QChar(u'a' + i % 26);
        ASSERT_TRUE(SaveSetting(kSettings, "List", text)) << length;
        EXPECT_TRUE(GetSetting(kSettings, "List") == text) << length;
    }

    // "@" names a value here, not the default value. Every awkward character is escaped, so
    // that no value spans lines, and read back; so are halves of surrogate pairs.
    const QString lone = QString(QChar(0xd800)) + QStringLiteral("x") + QChar(0xdfff);
    EXPECT_EQ(quoteRegString("a\\b\"c\nd\re\x01"), "\"a\\\\b\\\"c\\nd\\re\\x01\"");
    EXPECT_EQ(quoteRegString(lone), "\"\\ud800x\\udfff\"");
    const QString nasty = QStringLiteral("a\\b\"c\nd\re=f[x]\t\x01\x7f") + QChar(0) + QStringLiteral("😀");
    const QStringList samples = {
        "Last Dir", "C:\\Users\\x\\", "say \"hi\"", "two\nlines\r\n", "a=b", "[x]", "Bücher/日本",
        "@",        ";not a comment", "  spaced  ", "tab\there",      nasty};
    for (const QString& s : samples)
        ASSERT_TRUE(SaveSetting(kSettings, s, "v:" + s)) << s.toStdString();
    ASSERT_TRUE(SaveSetting(kSettings, QString(), "the default"));
    ASSERT_TRUE(SaveSetting(kSettings, "lone", lone));
    for (const QString& s : samples)
        EXPECT_EQ(GetSetting(kSettings, s), "v:" + s) << s.toStdString();
    EXPECT_EQ(GetSetting(kSettings, QString()), "the default");
    EXPECT_EQ(GetSetting(kSettings, "lone"), lone);

    const QStringList keys = {"[x]", ";semi", "#hash", " spaced ", "a]b", "Bücher/日本", "Sub\\Key\\"};
    for (const QString& k : keys)
        ASSERT_TRUE(SaveSetting(k, "k", k)) << k.toStdString();
    for (const QString& k : keys)
        EXPECT_EQ(GetSetting(k, "k"), k) << k.toStdString();
    EXPECT_EQ(GetSetting("sub\\key", "k"), keys.last()) << "a trailing backslash names the same key";
    EXPECT_EQ(GetSetting("spaced", "k"), QString()) << "spaces belong to the name";
}

TEST_F(RegistryTest, DeletesValuesAndKeyTreesButNotSiblings)
{
    const QString root = kProductKey;
    ASSERT_TRUE(SaveSetting(kSettings, "a", "1"));
    ASSERT_TRUE(SaveSetting(kSettings, "b", "2"));
    ASSERT_TRUE(SaveSetting("Settings\\Sub", "c", "3"));
    ASSERT_TRUE(SaveSetting("Settings\\Sub\\Deeper", "d", "4"));
    ASSERT_TRUE(SaveSetting("Settings2", "a", "kept"));
    // Names in another case reach the same key and value, which keep the case first written.
    ASSERT_TRUE(SaveSetting("SETTINGS", "B", "two"));
    EXPECT_TRUE(readAll(userStore()).contains("Mirravelnock!\\Settings]\n\"a\"=\"1\"\n\"b\"=\"two\"\n"));

    ASSERT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, root + "settings", "A"));
    EXPECT_EQ(GetSetting(kSettings, "a"), QString());
    EXPECT_EQ(GetSetting(kSettings, "b"), "two");
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, root + "Nowhere", "a"))
        << "deleting what isn't there is no failure";

    ASSERT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, root + "SETTINGS"));
    EXPECT_EQ(GetSetting(kSettings, "b"), QString());
    EXPECT_EQ(GetSetting("Settings\\Sub", "c"), QString());
    EXPECT_EQ(GetSetting("Settings\\Sub\\Deeper", "d"), QString());
    EXPECT_EQ(GetSetting("Settings2", "a"), "kept");
    const QByteArray file = readAll(userStore());
    EXPECT_FALSE(file.contains("Settings]")) << file.toStdString();
    EXPECT_FALSE(file.contains("Settings\\")) << file.toStdString();
    EXPECT_TRUE(file.contains("[Software\\Braxmoor Laboratories\\Mirravelnock!]\n")) << "the parent stays";
}

TEST_F(RegistryTest, RefusesKeyPathsThatNameNoKey)
{
    ASSERT_TRUE(SaveSetting(kSettings, "a", "1"));
    for (const QString& bad : QStringList {QString(), "\\", "A\\\\B", "A\nB", "A" + QString(QChar(0xdc00))}) {
        EXPECT_FALSE(SetRegValue(HKEY_CURRENT_USER, bad, "v", REG_SZ, "x"));
        EXPECT_FALSE(registryError().isEmpty());
        EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, bad)) << "must never clear the whole hive";
    }
    EXPECT_FALSE(SetRegValue(Hive(0x80000002), "A", "v", REG_SZ, "x"));
    EXPECT_EQ(GetRegValue(Hive(0x80000002), "A", "v"), QString());
    EXPECT_EQ(GetSetting(kSettings, "a"), "1");
    EXPECT_TRUE(onlyTheStore());
}

QByteArray withHeader(const QByteArray& body)
{
    return QByteArray(kRegHeader) + "\n" + body;
}

// What a hand wrote, non-string data included, survives being written back by us.
TEST(RegFormat, AcceptsHandEditedFilesAndWritesThemBack)
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
    RegDocument again;
    ASSERT_TRUE(parseRegText(writeRegText(doc), &again, &error)) << error.toStdString();
    for (const RegDocument* d : {&doc, &again}) {
        for (const auto& [name, expected] : values) {
            ASSERT_NE(d->findValue(key, name), nullptr) << name;
            EXPECT_EQ(d->findValue(key, name)->text, expected) << name;
        }
        EXPECT_FALSE(d->findValue(key, "bin")->isString);
    }
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
