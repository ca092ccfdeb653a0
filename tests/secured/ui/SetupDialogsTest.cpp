// The title and key windows of the setup, driven from the keyboard.
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/ProgTitle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;

using crypto::test::control;

// A title of blanks cannot be confirmed, and the window cannot be closed by any way until
// one is typed; the title is then taken as typed, trailing blanks and all.
TEST(SetupDialogsTest, TheTitleWindowClosesOnlyOnATitle)
{
    ProgTitle window(u"editor"_s, nullptr);
    window.show();
    auto* title = control<QLineEdit>(&window, "Title");
    auto* ok = control<QPushButton>(&window, "OKBut");
    EXPECT_EQ(window.windowTitle(), u"Mirravelnock! - Program Title"_s);
    EXPECT_TRUE(ok->isEnabled());

    title->selectAll();
    QTest::keyClicks(title, u"   "_s);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClick(title, Qt::Key_Return);
    QTest::keyClick(title, Qt::Key_Escape);
    window.close();
    EXPECT_TRUE(window.isVisible()) << "no way out without a title";

    QTest::keyClicks(title, u"Ed  "_s);
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.ProgramTitle(), u"   Ed  "_s);
}

struct KeyCase {
    const char* name;
    QString one, two;
    bool enabled;
};

// OK is enabled only for two equal keys of at least four characters, and Enter in the
// second box accepts only then; Enter in the first box moves on to the second.
TEST(SetupDialogsTest, EnterInTheSecondKeyBoxNeverAcceptsAShortKey)
{
    const KeyCase cases[] = {
        {"three characters", u"abc"_s, u"abc"_s, false},
        {"different", u"abcd"_s, u"abcD"_s, false},
        {"four equal", u"abcd"_s, u"abcd"_s, true},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        crypto::KeyState keys;
        AsscKey window(keys, nullptr);
        window.show();
        QApplication::setActiveWindow(&window);
        auto* one = control<QLineEdit>(&window, "KeyOne");
        auto* two = control<QLineEdit>(&window, "KeyTwo");
        QTest::keyClicks(one, c.one);
        QTest::keyClick(one, Qt::Key_Return);
        EXPECT_TRUE(two->hasFocus());
        EXPECT_TRUE(window.isVisible());
        QTest::keyClicks(two, c.two);
        EXPECT_EQ(control<QPushButton>(&window, "OKBut")->isEnabled(), c.enabled);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(window.isVisible(), !c.enabled);
        if (c.enabled) {
            EXPECT_FALSE(window.Cancelled());
            EXPECT_TRUE(window.key() == crypto::SecretText::fromText(c.one));
            EXPECT_TRUE(keys.CurrentKey == window.key());
            EXPECT_TRUE(keys.contains(window.key()));
            continue;
        }
        QTest::keyClick(two, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(window.Cancelled());
        EXPECT_TRUE(keys.CurrentKey.isEmpty());
        EXPECT_FALSE(keys.hasKeys());
    }
}

} // namespace
} // namespace mv::secured
