// The key field every key question shares, on the offscreen platform.
#include "widgets/KeyField.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

using mv::widgets::KeyField;

namespace {

std::string keyOf(const KeyField& field)
{
    const mv::crypto::SecretText key = field.key();
    return {key.data() ? key.data() : "", key.size()};
}

// Characters QTest cannot name as keys (ü, €) arrive as the keyboard sends them: a key event
// with text.
void typeText(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

// Editing as a user does: every change lands in the key, and the box's own text is only ever
// a mask of the same length, so no QString of the widget holds the key.
TEST(KeyField, EditsReachTheKeyTheBoxHoldsOnlyAMaskAndKeysStopAt255Characters)
{
    KeyField field;
    field.show();
    field.setFocus();
    QTest::keyClicks(&field, QStringLiteral("Door"));
    EXPECT_EQ(keyOf(field), "Door");
    EXPECT_EQ(field.text(), QStringLiteral("****"));

    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClicks(&field, QStringLiteral("X"));
    EXPECT_EQ(keyOf(field), "DoXor");
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Delete);
    EXPECT_EQ(keyOf(field), "Dor");
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClick(&field, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(keyOf(field), "");

    // Selecting all and typing replaces; the box never gives the key to the clipboard.
    typeText(&field, QStringLiteral("Schlüssel€"));
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    EXPECT_EQ(keyOf(field), "Schlüssel€") << "cut removed nothing it did not hand out";
    QTest::keyClicks(&field, QStringLiteral("k"));
    EXPECT_EQ(keyOf(field), "k");

    // A paste takes the clipboard's first line at the cursor.
    QGuiApplication::clipboard()->setText(QStringLiteral("pa\nste"));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keyOf(field), "kpa");
    EXPECT_EQ(field.text(), QStringLiteral("***"));

    // Text set from outside, and a character beyond the basic plane, come out as UTF-8; a lone
    // surrogate becomes U+FFFD instead of breaking the key.
    field.setText(QStringLiteral("a\U0001F600") + QChar(0xD800));
    EXPECT_EQ(keyOf(field), "a\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(field.text().size(), 4);

    // Taking the key empties the box; clear() empties the key too.
    EXPECT_EQ(field.takeKey().size(), 8u);
    EXPECT_TRUE(field.text().isEmpty());
    EXPECT_EQ(keyOf(field), "");
    QTest::keyClicks(&field, QStringLiteral("gone"));
    field.clear();
    EXPECT_EQ(keyOf(field), "");
    EXPECT_FALSE(field.isLongEnough());

    // At most 255 characters, typed or pasted; the length rule follows the key, not the mask.
    QTest::keyClicks(&field, QString(300, QLatin1Char('k')));
    EXPECT_EQ(field.key().size(), 255u);
    EXPECT_EQ(field.text().size(), 255);
    QGuiApplication::clipboard()->setText(QStringLiteral("more"));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field.key().size(), 255u);
    field.wipe();
    QTest::keyClicks(&field, QStringLiteral("abc"));
    EXPECT_FALSE(field.isLongEnough());
    QTest::keyClicks(&field, QStringLiteral("d"));
    EXPECT_TRUE(field.isLongEnough());
}

} // namespace
