// The Secured Access List in the settings store: where the list ends, what a delete leaves
// behind, and that nothing of an entry is lost or added on the way through the store.
#include "secured/QuickListStore.h"
#include "secured/QuickListState.h"
#include "shell/ConfigFixture.h"
#include "shell/Registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;

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
    EXPECT_TRUE(state.entry(1).Key.isEmpty());
    EXPECT_FALSE(state.entry(1).Running);
}

// Deleting renumbers the entries and moves the end marker down; the values behind it stay
// as they were, and the key of an entry never reaches the store.
TEST_F(QuickListStoreTest, DeletingRenumbersAndLeavesOldValuesBehindTheMarker)
{
    for (const char* title : {"One", "Two", "Three", "Four"}) {
        QuickItem i = item(QString::fromLatin1(title), u"/f/"_s + QString::fromLatin1(title));
        i.Key = crypto::SecretText::fromBytes("key-never-stored", std::strlen("key-never-stored"));
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

} // namespace
} // namespace mv::secured
