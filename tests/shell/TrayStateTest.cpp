#include "shell/TrayState.h"

#include <gtest/gtest.h>

using namespace mv::shell;
using Host = TrayState::Host;

// Counting an icon no tray took as added hid the window with nothing to bring it back. The icon
// is added only while the tray it was made in is there; a tray of the other kind, which Qt will
// no longer switch to, does not count.
TEST(TrayStateTest, RefusedIconNeverCountsAsAdded)
{
    TrayState s;
    EXPECT_FALSE(s.setInTray(false)); // never added: nothing to do
    EXPECT_TRUE(s.setInTray(true));
    EXPECT_FALSE(s.setInTray(true)); // the second True adds nothing
    EXPECT_EQ(s.hostForNewIcon(), Host::None);

    s.setHostPresent(Host::XEmbed, true);
    s.setHostPresent(Host::StatusNotifier, true);
    EXPECT_EQ(s.hostForNewIcon(), Host::StatusNotifier); // as Qt prefers it
    s.setHostPresent(Host::StatusNotifier, false);
    ASSERT_EQ(s.hostForNewIcon(), Host::XEmbed);
    s.iconMade(Host::XEmbed);
    EXPECT_TRUE(s.added());

    s.setHostPresent(Host::XEmbed, false); // the panel ended
    s.setHostPresent(Host::StatusNotifier, true);
    EXPECT_FALSE(s.added());
    s.setInTray(false);
    s.setHostPresent(Host::XEmbed, true);
    EXPECT_FALSE(s.added());
}

// A tray shows 63 characters of the tip; a character outside the basic plane (two UTF-16 units)
// at the edge is kept whole rather than cut into an invalid half.
TEST(TrayStateTest, TipIsCutToWholeCharacters)
{
    const QString start = QStringLiteral("Mirravelnock! keeps your files encrypted, 0123456789abcdefghij");
    ASSERT_EQ(start.size(), 62);
    EXPECT_EQ(TrayState::tipText(start + QStringLiteral("\U0001F512xyz")),
              start + QStringLiteral("\U0001F512"));
    EXPECT_EQ(TrayState::tipText(start + QStringLiteral("ab")), start + QStringLiteral("a"));
}
