// The running entries: their records, their keys until the re-lock, and the entry numbers
// they point to while the list changes.
#include "secured/QuickListState.h"
#include "crypto/KeyState.h"

#include <gtest/gtest.h>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;
using crypto::SecretText;

QuickItem entry(const QString& title)
{
    QuickItem i;
    i.Title = title;
    i.Data = u"/home/me/"_s + title;
    return i;
}

// Three programs watched at once end in another order than they started; each record keeps
// its own files and key, which "Clear Passwords" never empties; a running entry cannot be
// deleted, and deleting an earlier one keeps the records pointing at their entries.
TEST(QuickListStateTest, RunningEntriesKeepTheirFilesAndKeysUntilTheirOwnEnd)
{
    QuickListState state;
    for (const QString& t : {u"one"_s, u"two"_s, u"three"_s, u"four"_s})
        state.appendEntry(entry(t));
    crypto::KeyState keys;
    keys.append(SecretText::fromText(u"key two"_s));
    QList<int> counts;
    QObject::connect(&state, &QuickListState::pendingChanged, [&](int count) { counts << count; });

    const quint64 two = state.addPending(2, SecretText::fromText(u"key two"_s));
    const quint64 three = state.addPending(3, SecretText::fromText(u"key three"_s));
    const quint64 four = state.addPending(4, SecretText::fromText(u"key four"_s));
    EXPECT_EQ(state.PendingCount(), 3);
    EXPECT_TRUE(state.entry(2).Running && state.entry(3).Running && state.entry(4).Running);
    EXPECT_FALSE(state.entry(1).Running);
    EXPECT_FALSE(state.deleteEntry(3)) << "its program runs";

    keys.clearKeys();
    EXPECT_FALSE(keys.hasKeys());
    EXPECT_TRUE(state.PendingApps()[0].Key == SecretText::fromText(u"key two"_s));

    std::optional<PendingApp> ended = state.takePending(three);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->Entry, 3);
    EXPECT_EQ(ended->Data, u"/home/me/three"_s);
    EXPECT_TRUE(ended->Key == SecretText::fromText(u"key three"_s));
    EXPECT_FALSE(state.entry(3).Running);
    EXPECT_FALSE(state.takePending(three)) << "ended once only";

    ASSERT_TRUE(state.deleteEntry(1));
    ASSERT_EQ(state.PendingCount(), 2);
    EXPECT_EQ(state.PendingApps()[0].Entry, 1);
    EXPECT_EQ(state.PendingApps()[1].Entry, 3);
    EXPECT_EQ(state.entry(state.PendingApps()[1].Entry).Title, u"four"_s);

    ASSERT_TRUE(state.takePending(four));
    ASSERT_TRUE(state.takePending(two));
    EXPECT_EQ(state.PendingCount(), 0);
    EXPECT_FALSE(state.entry(1).Running || state.entry(3).Running);
    EXPECT_EQ(counts, (QList<int> {1, 2, 3, 2, 1, 0}));
}

} // namespace
} // namespace mv::secured
