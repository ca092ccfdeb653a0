// The Secured Access List in the settings store, its running entries' records, and the setup's
// small rules.
#include "crypto/KeyState.h"
#include "secured/QuickListState.h"
#include "secured/QuickListStore.h"
#include "secured/SetupRules.h"
#include "shell/ConfigFixture.h"
#include "shell/Registry.h"

#include <gtest/gtest.h>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;
using crypto::SecretText;

QString stored(const QString& name)
{
    return shell::GetSetting(u"QuickList"_s, name);
}

void store(const QString& name, const QString& text)
{
    ASSERT_TRUE(shell::SaveSetting(u"QuickList"_s, name, text));
}

QuickItem item(const QString& title, const QString& data = {})
{
    QuickItem i;
    i.Title = title;
    i.Path = u"/opt/"_s + title + u"/run"_s;
    i.Params = u"--"_s + title;
    i.Data = data;
    return i;
}

QStringList titles(const QuickListState& state)
{
    QStringList t;
    for (int n = 1; n <= state.count(); ++n)
        t << state.entry(n).Title;
    return t;
}

class QuickListStoreTest : public shell::test::ConfigFixture {
protected:
    QuickListState state;
};

// The list ends at the first empty "Title" & n whatever lies beyond it; a missing "Params" &
// n is an entry without parameters; the files of "Data" & n come in their order.
TEST_F(QuickListStoreTest, TheListEndsAtTheFirstEmptyTitle)
{
    state.LoadQuickList();
    EXPECT_EQ(state.count(), 0) << "an empty section";

    store(u"Title1"_s, u"Editor"_s);
    store(u"Path1"_s, u"/usr/bin/editor"_s);
    store(u"Data1"_s, u"/home/me/a.txt|/home/me/b b.txt"_s);
    store(u"Title2"_s, u"Viewer"_s);
    store(u"Params2"_s, u"-r"_s);
    store(u"Title3"_s, QString());
    store(u"Title4"_s, u"Beyond the end"_s);
    state.LoadQuickList();
    ASSERT_EQ(titles(state), (QStringList {u"Editor"_s, u"Viewer"_s}));
    EXPECT_EQ(state.entry(1).Path, u"/usr/bin/editor"_s);
    EXPECT_EQ(state.entry(1).Params, QString());
    EXPECT_EQ(state.entry(1).Data, u"/home/me/a.txt|/home/me/b b.txt"_s);
    EXPECT_EQ(state.entry(2).Params, u"-r"_s);
}

// Deleting renumbers the entries and moves the end marker down; the values behind it stay
// as they were, and the key of an entry never reaches the store.
TEST_F(QuickListStoreTest, DeletingRenumbersAndLeavesOldValuesBehindTheMarker)
{
    for (const char* title : {"One", "Two", "Three", "Four"}) {
        QuickItem i = item(QString::fromLatin1(title), u"/f/"_s + QString::fromLatin1(title));
        i.Key = SecretText::fromText(u"key-never-stored"_s);
        state.appendEntry(std::move(i));
    }
    state.SaveQuickList();
    ASSERT_TRUE(state.store().flush().ok);
    ASSERT_TRUE(state.deleteEntry(2));
    state.SaveQuickList();
    ASSERT_TRUE(state.store().flush().ok);

    EXPECT_EQ(stored(u"Title2"_s), u"Three"_s);
    EXPECT_EQ(stored(u"Data2"_s), u"/f/Three"_s);
    EXPECT_EQ(stored(u"Title3"_s), u"Four"_s);
    EXPECT_EQ(stored(u"Title4"_s), QString()) << "the end marker";
    EXPECT_EQ(stored(u"Path4"_s), u"/opt/Four/run"_s) << "left as it was";
    EXPECT_EQ(stored(u"Data4"_s), u"/f/Four"_s);
    EXPECT_FALSE(readAll(userStore()).contains("key-never-stored"));

    ASSERT_TRUE(state.deleteEntry(3));
    state.SaveQuickList();
    ASSERT_TRUE(state.store().flush().ok);
    QuickListState reloaded;
    reloaded.LoadQuickList();
    EXPECT_EQ(titles(reloaded), (QStringList {u"One"_s, u"Three"_s}));
    EXPECT_EQ(stored(u"Title3"_s), QString());
    EXPECT_EQ(stored(u"Params3"_s), u"--Four"_s);
}

// Three programs watched at once end in another order than they started; each record keeps
// its own files and key, which "Clear Passwords" never empties; a running entry cannot be
// deleted, and deleting an earlier one keeps the records pointing at their entries.
TEST(QuickListStateTest, RunningEntriesKeepTheirFilesAndKeysUntilTheirOwnEnd)
{
    QuickListState state;
    for (const QString& t : {u"one"_s, u"two"_s, u"three"_s, u"four"_s})
        state.appendEntry(item(t, u"/home/me/"_s + t));
    crypto::KeyState keys;
    keys.append(SecretText::fromText(u"key two"_s));

    const quint64 two = state.addPending(2, SecretText::fromText(u"key two"_s));
    const quint64 three = state.addPending(3, SecretText::fromText(u"key three"_s));
    const quint64 four = state.addPending(4, SecretText::fromText(u"key four"_s));
    EXPECT_EQ(state.PendingCount(), 3);
    EXPECT_TRUE(state.entry(2).Running && state.entry(3).Running && state.entry(4).Running);
    EXPECT_FALSE(state.entry(1).Running);
    EXPECT_FALSE(state.deleteEntry(3)) << "its program runs";

    keys.clearKeys();
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
}

TEST(SetupRulesTest, TitlesNamesAndQuoting)
{
    EXPECT_EQ(proposedTitle(u"/opt/Tools/Editor.exe"_s), u"Editor"_s);
    EXPECT_EQ(proposedTitle(u"/opt/My.Tools/Editor.exe"_s), u"My"_s); // the first "." of the whole path cuts
    EXPECT_EQ(proposedTitle(u"/usr/bin/gedit"_s), u"gedit"_s);

    EXPECT_EQ(listedName(u"/home/me/report_doc.mv$"_s), u"/home/me/report.doc"_s);
    EXPECT_EQ(listedName(u"/home/me/README.MV%"_s), u"/home/me/README"_s);
    EXPECT_EQ(listedName(u"/home/me/report.doc"_s), u"/home/me/report.doc"_s);

    EXPECT_EQ(shellQuoted(u"/home/me/notes-1.txt"_s), u"/home/me/notes-1.txt"_s);
    EXPECT_EQ(shellQuoted(u"/home/me/My Notes/it's $HOME.txt"_s),
              u"'/home/me/My Notes/it'\\''s $HOME.txt'"_s);
}

} // namespace
} // namespace mv::secured
