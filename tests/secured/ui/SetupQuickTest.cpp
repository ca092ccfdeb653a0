// The setup window on real files: entries made, files added (encrypted at once) and removed
// (decrypted), entries deleted and renumbered, every change in the store at once. The file
// dialogs and the questions are answered by the test; the list jobs and their status window
// are the real ones. Its title and key windows are driven from the keyboard. The status window
// of the list jobs: what it shows, asks and tells. The main window's list and menus, and
// choosing from them: item 0 opens the setup, after which the combo box and both menus show
// what the setup made of the list; an entry is handed on, also when chosen twice; nothing is
// chosen while loading.
#include "secured/ui/SetupQuick.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "fileutil/TestFiles.h"
#include "secured/QuickListState.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/EncStat.h"
#include "secured/ui/ProgTitle.h"
#include "secured/ui/QuickListCommands.h"
#include "shell/ConfigFixture.h"
#include "shell/Registry.h"

#include <gtest/gtest.h>

#include <mvengine/engine.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;
using crypto::EncryptedName;
using crypto::test::control;

const crypto::SecretText kKey = crypto::SecretText::fromText(u"entry key"_s);

QString stored(const char* name)
{
    return shell::GetSetting(u"QuickList"_s, QLatin1String(name));
}

QStringList texts(const QListWidget* list)
{
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

class SetupQuickTest : public shell::test::ConfigFixture {
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        open();
    }
    // The window over the list as it is now, its questions answered by the test.
    void open()
    {
        window = std::make_unique<SetupQuick>(state, keys, nullptr);
        window->GetProg = [this](const QString&) {
            return programs.isEmpty() ? QString() : programs.takeFirst();
        };
        window->GetData = [this](const QString&) {
            return chosen.isEmpty() ? QStringList() : chosen.takeFirst();
        };
        window->askYesNo = [this](const QString& q) {
            asked << q;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        window->askTitle = [this](const QString& proposed) {
            proposedTitles << proposed;
            return proposed;
        };
        window->askKey = [this] {
            keys.append(kKey); // as the real window does
            return kKey;
        };
    }
    QString at(const QString& name) const { return dir.filePath(name); }
    QListWidget* view() const { return control<QListWidget>(window.get(), "QuickListView"); }
    QListWidget* files() const { return control<QListWidget>(window.get(), "QuickFiles"); }
    bool enabled(const char* name) const { return control<QWidget>(window.get(), name)->isEnabled(); }
    void click(const char* name) { control<QPushButton>(window.get(), name)->click(); }

    QTemporaryDir dir;
    QuickListState state;
    crypto::KeyState keys;
    std::unique_ptr<SetupQuick> window;
    QStringList programs;
    QList<QStringList> chosen;
    QList<bool> answers;
    QStringList asked;
    QStringList proposedTitles;
};

// A program chosen with no entry selected makes an entry with the proposed title and the
// typed key. Files added to it are encrypted at once (one already encrypted is listed by its
// plain name and left as it is); a file removed is decrypted and leaves the list.
TEST_F(SetupQuickTest, AddedFilesAreEncryptedAtOnceAndARemovedFileIsDecrypted)
{
    for (const char* name : {"DeleteBut", "Param", "ParamBut", "QuickFiles", "AddBut", "RemoveBut"})
        EXPECT_FALSE(enabled(name)) << name;
    const QString notes = at(u"my notes.txt"_s);
    const QString b = at(u"b.txt"_s);
    ASSERT_TRUE(writeAll(notes, "notes") && writeAll(b, "bee"));
    ASSERT_EQ(crypto::encryptOne(b, "entry key").kind, crypto::CryptOutcome::Done);

    programs = {at(u"Tools/Editor.exe"_s)};
    click("BrowseBut");
    EXPECT_TRUE(asked.isEmpty()) << "nothing selected: a new entry without asking";
    ASSERT_EQ(state.count(), 1);
    EXPECT_EQ(state.entry(1).Title, u"Editor"_s);
    EXPECT_TRUE(view()->item(0)->isSelected());
    EXPECT_TRUE(enabled("AddBut") && enabled("DeleteBut") && enabled("Param"));
    EXPECT_FALSE(enabled("RemoveBut") || enabled("ParamBut")) << "no file selected yet";

    click("AddBut"); // the dialog cancelled: nothing happens
    chosen = {{notes, EncryptedName(b)}};
    click("AddBut");
    EXPECT_EQ(texts(files()), (QStringList {notes, b}));
    EXPECT_FALSE(mvtest::exists(notes));
    EXPECT_TRUE(mvtest::exists(EncryptedName(notes)));
    EXPECT_TRUE(mvtest::exists(EncryptedName(b)));
    ASSERT_TRUE(state.store().flush().ok);
    EXPECT_EQ(stored("Data1"), notes + u"|"_s + b);
    EXPECT_EQ(stored("Path1"), at(u"Tools/Editor.exe"_s));

    files()->setCurrentRow(0);
    click("ParamBut");
    EXPECT_EQ(state.entry(1).Params, u"'"_s + notes + u"'"_s);
    click("RemoveBut");
    EXPECT_EQ(mvtest::readAll(notes), "notes");
    EXPECT_EQ(texts(files()), QStringList {b});
    ASSERT_TRUE(state.store().flush().ok);
    EXPECT_EQ(stored("Data1"), b);
}

// Deleting an entry decrypts its files first. One that stays locked is kept when the user
// says so, and with it the entry. An entry without files goes at once, the later entries
// move down, and the store's end marker with them.
TEST_F(SetupQuickTest, DeletingRenumbersAndKeepsAnEntryWhoseFileStaysLocked)
{
    const QString locked = at(u"locked.txt"_s);
    ASSERT_TRUE(
        writeAll(EncryptedName(locked), QByteArray(MV_SIGNATURE, MV_SIGNATURE_LEN) + QByteArray(200, 'x')));
    for (const char* title : {"One", "Two", "Three", "Four"}) {
        QuickItem item;
        item.Title = QString::fromLatin1(title);
        item.Data = item.Title == u"Three"_s ? locked : QString();
        state.appendEntry(std::move(item));
    }
    keys.append(kKey);
    open();

    view()->setCurrentItem(view()->findItems(u"Two"_s, Qt::MatchExactly).first());
    click("DeleteBut");
    ASSERT_EQ(state.count(), 3);
    EXPECT_EQ(view()->selectedItems().size(), 0);
    for (int row = 0; row < view()->count(); ++row) {
        const int n = view()->item(row)->data(Qt::UserRole).toInt();
        EXPECT_EQ(state.entry(n).Title, view()->item(row)->text());
    }
    ASSERT_TRUE(state.store().flush().ok);
    EXPECT_EQ(stored("Title2"), u"Three"_s);
    EXPECT_EQ(stored("Title4"), QString());

    // The damaged file cannot be decrypted: the job says so, then the window asks.
    // EncStat is modal too and may be seen while it works: only the message counts.
    int messages = 0;
    crypto::test::ModalWatch watch([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            ++messages;
            box->accept();
        }
    });
    answers = {true};
    view()->setCurrentItem(view()->findItems(u"Three"_s, Qt::MatchExactly).first());
    click("DeleteBut");
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(asked, QStringList {u"File was not decrypted, keep it anyway?"_s});
    EXPECT_EQ(state.count(), 3);
    EXPECT_EQ(state.entry(2).Data, locked);
    EXPECT_TRUE(mvtest::exists(EncryptedName(locked)));

    programs = {u"/usr/bin/other"_s};
    answers = {false}; // not a new entry: "Three" runs another program now
    click("BrowseBut");
    EXPECT_EQ(asked.constLast(), u"Will this be a new entry?"_s);
    EXPECT_EQ(proposedTitles.constLast(), u"Three"_s);
    EXPECT_EQ(state.count(), 3);
    EXPECT_EQ(state.entry(2).Path, u"/usr/bin/other"_s);
}

// A title of blanks cannot be confirmed, and the window cannot be closed by any way until
// one is typed; the title is then taken as typed, trailing blanks and all.
TEST(SetupDialogsTest, TheTitleWindowClosesOnlyOnATitle)
{
    ProgTitle window(u"editor"_s, nullptr);
    window.show();
    auto* title = control<QLineEdit>(&window, "Title");
    auto* ok = control<QPushButton>(&window, "OKBut");
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

// A decryption that asks for the key, meets a missing file and then a file it cannot
// decrypt: the key goes to `CurrentKey`, each problem is told once with the file's name,
// and the window shows the file it stopped at.
TEST(EncStatTest, ShowsTheFileInHandAsksForTheKeyAndTellsWhereItStopped)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.txt"_s), gone = dir.filePath(u"gone.txt"_s),
                  bad = dir.filePath(u"bad.txt"_s);
    ASSERT_TRUE(writeAll(a, "letter"));
    ASSERT_EQ(crypto::encryptOne(a, "entry key").kind, crypto::CryptOutcome::Done);
    ASSERT_TRUE(writeAll(crypto::EncryptedName(bad), "not encrypted at all"));

    crypto::KeyState keys;
    EncStat window(false, keys, nullptr);
    EXPECT_EQ(window.findChild<QLabel*>(u"Label1"_s)->text(), u"Currently decrypting..."_s);
    QStringList asked, told;
    window.keyQuestion = [&](const QString& file, crypto::KeyState& k) {
        asked << file;
        return k.append(crypto::SecretText::fromText(u"entry key"_s));
    };
    window.tell = [&](const QString& text) { told << text; };

    const ListJobResult r = window.run([&](ListJobCallbacks& callbacks, const ListJobOptions&) {
        return DecryptFileList(a + u'|' + gone + u'|' + bad, keys, callbacks);
    });
    EXPECT_EQ(r.kind, ListJobResult::Stopped);
    EXPECT_EQ(asked, QStringList {crypto::EncryptedName(a)});
    EXPECT_EQ(readAll(a), "letter");
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].startsWith(u"Unable to open this file...\n"_s + gone + u"\n"_s))
        << told[0].toStdString();
    EXPECT_EQ(told[1], u"An error occured will working with this file...\n"_s + crypto::EncryptedName(bad) +
                           u"\nnot encrypted"_s);
    EXPECT_EQ(window.findChild<QLineEdit*>(u"Stat"_s)->text(), bad);
}

QStringList shown(const std::vector<QAction*>& items)
{
    QStringList texts;
    for (QAction* item : items)
        texts << (item->isVisible() ? item->text() : u"(hidden)"_s);
    return texts;
}

TEST(QuickListCommandsTest, TheListShowsWhatTheSetupMadeAndEntriesAreHandedOn)
{
    QWidget window;
    auto* combo = new QComboBox(&window);
    QMenu quickMenu, popMenu;
    std::vector<QAction*> quickItems {quickMenu.addSeparator()}, popItems {popMenu.addSeparator()};
    QuickListState state;
    crypto::KeyState keys;
    int focused = 0;
    QuickListCommands commands(state, keys, combo, {&quickMenu, &quickItems}, {&popMenu, &popItems}, &window,
                               false, [&] { ++focused; });
    commands.RefillQuickList();
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), u"Setup Secured Access List"_s);
    EXPECT_EQ(shown(quickItems), QStringList {u"(hidden)"_s}) << "no separator without entries";
    window.show();

    QStringList duringSetup;
    commands.showSetup = [&] {
        duringSetup = shown(popItems);
        for (const QString& title : {u"Editor"_s, u"Tom & Jerry"_s}) {
            QuickItem added;
            added.Title = title;
            state.appendEntry(added);
        }
    };
    // From the keyboard: an arrow opens the list, where Enter chooses.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(combo->currentIndex(), -1) << "nothing chosen by the arrow itself";
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_EQ(duringSetup, QStringList {u"(hidden)"_s});
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemData(2).toInt(), 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    const QStringList items {QString(), u"Editor"_s, u"Tom && Jerry"_s}; // a title's "&" is no shortcut
    EXPECT_EQ(shown(quickItems), items);
    EXPECT_EQ(shown(popItems), items);
    EXPECT_EQ(focused, 1);

    QSignalSpy chosen(&state, &QuickListState::entryChosen);
    commands.QuickListBusy = true;
    quickItems[2]->trigger();
    EXPECT_EQ(chosen.size(), 0) << "ignored while loading";
    commands.QuickListBusy = false;
    quickItems[2]->trigger();
    popItems[2]->trigger();
    QTest::keyClick(combo, Qt::Key_Down);
    combo->view()->setCurrentIndex(combo->model()->index(1, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 3);
    EXPECT_EQ(chosen[1][0].toInt(), 2) << "the same entry twice is chosen twice";
    EXPECT_EQ(chosen[2][0].toInt(), 1);
    EXPECT_EQ(combo->currentIndex(), -1);

    commands.showSetup = [&] {
        while (state.count() > 0)
            state.deleteEntry(1);
    };
    commands.MenuSetupQuick_Click();
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(shown(quickItems), (QStringList {u"(hidden)"_s, u"(hidden)"_s, u"(hidden)"_s}));
}

} // namespace
} // namespace mv::secured
