// The Secured Access List's windows on real files: the setup window (entries made, files added and
// encrypted at once, removed and decrypted, entries deleted) with its title and key windows; the list
// jobs' status window; the main window's list and menus. Choosing an entry: files left plain by a run
// that could not finish, offered at the next start; a start whose files all lie plain; a failed
// re-lock; the windows answered as a user would, from a timer.
#include "secured/ui/SetupQuick.h"

#include "../LaunchTestKit.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "crypto/ui/DialogDriver.h"
#include "fileutil/TestFiles.h"
#include "secured/FileListText.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"
#include "secured/QuickListState.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/ProgTitle.h"
#include "secured/ui/QuickListCommands.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/ConfigFixture.h"
#include "shell/Registry.h"

#include <gtest/gtest.h>

#include <mvengine/engine.h>

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

#include <csignal>
#include <deque>
#include <optional>

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
    const QString notes = at(u"it's my notes.txt"_s);
    const QString b = at(u"b.txt"_s);
    ASSERT_TRUE(writeAll(notes, "notes") && writeAll(b, "bee"));
    ASSERT_EQ(crypto::encryptOne(b, "entry key").kind, crypto::CryptOutcome::Done);

    programs = {at(u"Tools/Editor.exe"_s)};
    click("BrowseBut");
    EXPECT_TRUE(asked.isEmpty()) << "nothing selected: a new entry without asking";
    ASSERT_EQ(state.count(), 1);
    EXPECT_EQ(state.entry(1).Title, u"Editor"_s);
    EXPECT_TRUE(enabled("AddBut") && enabled("DeleteBut") && enabled("Param"));

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

    // A file chosen as the parameter is quoted as a shell would need it, and only then.
    files()->setCurrentRow(1);
    click("ParamBut");
    EXPECT_EQ(state.entry(1).Params, b);
    files()->setCurrentRow(0);
    click("ParamBut");
    EXPECT_EQ(state.entry(1).Params, u"'"_s + at(u"it'\\''s my notes.txt"_s) + u"'"_s);
    click("RemoveBut");
    EXPECT_EQ(mvtest::readAll(notes), "notes");
    EXPECT_EQ(texts(files()), QStringList {b});
    ASSERT_TRUE(state.store().flush().ok);
    EXPECT_EQ(stored("Data1"), b);
}

// Deleting an entry decrypts its files first, under the list jobs' status window, which tells of
// a missing file and of the file it stopped at. One that stays locked is kept when the user says
// so, and with it the entry. An entry without files goes at once and the later entries move down
// (in the store too: the store's tests).
TEST_F(SetupQuickTest, DeletingRenumbersAndKeepsAnEntryWhoseFileStaysLocked)
{
    const QString locked = at(u"locked.txt"_s);
    const QString gone = at(u"gone.txt"_s);
    ASSERT_TRUE(
        writeAll(EncryptedName(locked), QByteArray(MV_SIGNATURE, MV_SIGNATURE_LEN) + QByteArray(200, 'x')));
    for (const char* title : {"One", "Two", "Three", "Four"}) {
        QuickItem item;
        item.Title = QString::fromLatin1(title);
        item.Data = item.Title == u"Three"_s ? joinFileList({gone, locked}) : QString();
        state.appendEntry(std::move(item));
    }
    keys.append(kKey);
    open();

    view()->setCurrentItem(view()->findItems(u"Two"_s, Qt::MatchExactly).first());
    click("DeleteBut");
    ASSERT_EQ(state.count(), 3);
    for (int row = 0; row < view()->count(); ++row) {
        const int n = view()->item(row)->data(Qt::UserRole).toInt();
        EXPECT_EQ(state.entry(n).Title, view()->item(row)->text());
    }

    // The damaged file cannot be decrypted: the job says so, then the window asks.
    // EncStat is modal too and may be seen while it works: only the messages count.
    QStringList messages;
    crypto::test::ModalWatch watch([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages << box->text();
            box->accept();
        }
    });
    answers = {true};
    view()->setCurrentItem(view()->findItems(u"Three"_s, Qt::MatchExactly).first());
    click("DeleteBut");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(u"Unable to open this file...\n"_s + gone + u"\n"_s))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[1].startsWith(u"An error occured will working with this file...\n"_s +
                                       EncryptedName(locked) + u"\n"_s))
        << messages[1].toStdString();
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
    title->selectAll();
    QTest::keyClicks(title, u"   "_s);
    EXPECT_FALSE(control<QPushButton>(&window, "OKBut")->isEnabled());
    QTest::keyClick(title, Qt::Key_Return);
    QTest::keyClick(title, Qt::Key_Escape);
    window.close();
    EXPECT_TRUE(window.isVisible()) << "no way out without a title";

    QTest::keyClicks(title, u"Ed  "_s);
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.ProgramTitle(), u"   Ed  "_s);
}

// OK is enabled only for two equal keys of at least four characters, and Enter in the
// second box accepts only then; Enter in the first box moves on to the second.
TEST(SetupDialogsTest, EnterInTheSecondKeyBoxNeverAcceptsAShortKey)
{
    const struct {
        const char* name;
        QString one, two;
        bool enabled;
    } cases[] = {
        {"three characters", u"abc"_s, u"abc"_s, false},
        {"different", u"abcd"_s, u"abcD"_s, false},
        {"four equal", u"abcd"_s, u"abcd"_s, true},
    };
    for (const auto& c : cases) {
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
            EXPECT_TRUE(window.key() == crypto::SecretText::fromText(c.one));
            EXPECT_TRUE(keys.CurrentKey == window.key());
            continue;
        }
        QTest::keyClick(two, Qt::Key_Escape);
        EXPECT_TRUE(window.Cancelled());
        EXPECT_FALSE(keys.hasKeys());
    }
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
    QuickListCommands commands(state, keys, combo, {&quickMenu, &quickItems}, {&popMenu, &popItems}, &window,
                               false, [] {});
    commands.RefillQuickList();
    EXPECT_EQ(combo->count(), 1);
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

    QSignalSpy chosen(&state, &QuickListState::entryChosen);
    commands.QuickListBusy = true;
    quickItems[2]->trigger();
    EXPECT_EQ(chosen.size(), 0) << "ignored while loading";
    commands.QuickListBusy = false;
    popItems[1]->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 1);
}

// Answers every window the launcher opens over `owner`: AsscKey with the next key to type in
// both boxes (Cancel when none is left), a question with the next answer (Yes when none is
// left), a message with OK. What each showed is kept.
struct User {
    std::deque<QString> keys;
    std::deque<bool> answers;
    QStringList headings;
    QStringList messages;
    crypto::test::ModalWatch watch {[this](QWidget* top) { answer(top); }};

    void answer(QWidget* top)
    {
        if (top->objectName() == "AsscKey"_L1) {
            headings << top->findChild<QLabel*>(u"Heading"_s)->text();
            if (keys.empty()) {
                top->findChild<QPushButton*>(u"CancelBut"_s)->click();
                return;
            }
            top->findChild<QLineEdit*>(u"KeyOne"_s)->setText(keys.front());
            top->findChild<QLineEdit*>(u"KeyTwo"_s)->setText(keys.front());
            keys.pop_front();
            top->findChild<QPushButton*>(u"OKBut"_s)->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(top)) {
            messages << box->text();
            if (box->button(QMessageBox::Yes)) {
                const bool yes = answers.empty() || answers.front();
                if (!answers.empty())
                    answers.pop_front();
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            } else {
                box->button(QMessageBox::Ok)->click();
            }
        }
    }
};

crypto::SecretText secret(const char* key)
{
    return crypto::SecretText::fromText(QString::fromLatin1(key));
}

// What `plain`'s encrypted file holds when `key` opens it; "(not opened)" else.
QByteArray openedWith(const QString& plain, const char* key)
{
    if (QFile::exists(plain))
        return "(plain)";
    const crypto::MemoryDecrypt d =
        crypto::decryptToMemory(crypto::EncryptedName(plain), {secret(key)}, 1 << 20);
    return d.kind == crypto::MemoryDecrypt::Opened ? d.bytes.view().toByteArray()
                                                   : QByteArray("(not opened)");
}

using launchtest::quoted;
using launchtest::waitUntil;
using launchtest::writeAll;

// The launcher over a window of its own, and the notes of its information line; the windows it
// opens answered by `user`.
class LeftPlain : public ::testing::Test {
protected:
    LeftPlain() { launcher.options = launchtest::testOptions(journals(), 1500, 50); }
    [[nodiscard]] QString journals() const { return dir.filePath(u"running"_s); }
    [[nodiscard]] QString at(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A file holding `text`, encrypted with `key` when one is given.
    QString file(const char* name, const QByteArray& text, const char* key = nullptr)
    {
        EXPECT_TRUE(writeAll(at(name), text));
        EXPECT_TRUE(!key || crypto::encryptOne(at(name), key).kind == crypto::CryptOutcome::Done) << name;
        return at(name);
    }
    QString script(const char* name, const QByteArray& body)
    {
        return launchtest::writeScript(at(name), body);
    }
    int entry(const QString& program, const QStringList& files, const QString& params = {})
    {
        QuickItem item;
        item.Title = u"Diary"_s;
        item.Path = program;
        item.Params = params;
        item.Data = joinFileList(files);
        return state.appendEntry(item);
    }
    // Waits until the user has been told `count` messages.
    [[nodiscard]] bool told(int count, int ms = 5000)
    {
        return waitUntil([&] { return user.messages.size() == count; }, ms);
    }
    // Waits for a chosen entry's run to start and for its re-lock to end.
    [[nodiscard]] bool runThrough()
    {
        return waitUntil([&] { return state.PendingCount() == 1; }, 5000) &&
               waitUntil([&] { return state.PendingCount() == 0; }, 10000);
    }

    QTemporaryDir dir;
    QuickListState state;
    crypto::KeyState keys;
    QWidget window;
    QStringList notes;
    QuickListLauncher launcher {state, keys, &window, [] {}, [] {}, [this](const QString& t) { notes << t; }};
    User user;
};

// Recovery used to encrypt at once while the program of the lost run still had the file open:
// its later save went into the wiped inode and was lost.
TEST_F(LeftPlain, RecoveryWaitsForTheLostRunsProgramAndItsLaterWriteEndsUpEncrypted)
{
    const QString diary = file("diary.txt", "first\n");
    const QString go = at("go");
    // The program of the lost run: it holds the file open and writes once more when told.
    const QString program = script("editor", "exec 7>>" + quoted(diary) + "; while [ ! -e " + quoted(go) +
                                                 " ]; do sleep 0.05; done; echo later >&7");
    const StartOutcome lost = launchtest::start(program);
    ASSERT_TRUE(lost.status.ok);
    bool collected = false;
    // A failed check must not leave the program waiting for ever.
    const auto reap = qScopeGuard([&] {
        if (!collected) {
            ::kill(lost.programPid, SIGKILL);
            launchtest::waitHelper(lost, 5000);
        }
    });
    const int n = entry(program, {diary});
    JournalRecord record(n, u"Diary"_s, {diary}, program);
    record.helperPid = lost.helperPid;
    record.helperStarted = processStartTime(lost.helperPid);
    record.programPid = lost.programPid;
    ASSERT_TRUE(writeJournal(journals(), record).ok);

    user.keys = {u"Hotel8888"_s};
    launcher.offerLeftPlain();
    ASSERT_EQ(user.messages.size(), 1);
    EXPECT_TRUE(user.messages[0].contains(
        u"Diary (editor): diary.txt. Mirravelnock! ended while the program ran; it still runs"_s))
        << user.messages[0].toStdString();
    ASSERT_TRUE(waitUntil([&] { return !notes.isEmpty(); }, 5000));
    // The program, and the child it has in hand (its sleep) that inherited the descriptor.
    EXPECT_TRUE(notes.back().startsWith(u"Waiting for editor (%1)"_s.arg(lost.programPid)) &&
                notes.back().endsWith(u" to close diary.txt; the files are encrypted again once it has."_s))
        << notes.back().toStdString();
    EXPECT_TRUE(QFile::exists(diary)) << "encrypted under the running program";
    // The entry counts as running until its files are locked: it cannot be started under the wait.
    EXPECT_TRUE(state.entry(n).Running);
    state.chooseEntry(n);
    ASSERT_TRUE(told(2));
    EXPECT_EQ(user.messages[1], u"This program is already running!"_s);

    ASSERT_TRUE(writeAll(go, ""));
    ASSERT_TRUE(waitUntil([&] { return !QFile::exists(diary); }, 10000));
    collected = launchtest::waitHelper(lost, 5000);
    EXPECT_TRUE(collected);
    EXPECT_EQ(openedWith(diary, "Hotel8888"), QByteArray("first\nlater\n"));
    // The information line says it is done instead of going on waiting.
    EXPECT_EQ(notes.back(), u"The files of Diary (editor) are encrypted again."_s);
    EXPECT_FALSE(state.entry(n).Running);
    EXPECT_TRUE(readLeftJournals(journals()).isEmpty());
}

// The key was asked once, in the one-box confirmation: a typo locked the files under a key
// nobody knew, and a key other than the one of the entry's encrypted files was taken.
TEST_F(LeftPlain, RecoveryKeyIsTypedTwiceAndMustOpenTheEntrysFilesThatAreStillEncrypted)
{
    const QString plain = file("plain.txt", "left plain");
    const QString locked = file("locked.txt", "still locked", "India999");
    JournalRecord record(4, u"Diary"_s, {plain, locked}, at("editor"));
    record.state = JournalRecord::State::RelockFailed;
    ASSERT_TRUE(writeJournal(journals(), record).ok);

    user.keys = {u"India998"_s, u"India999"_s};
    launcher.offerLeftPlain();
    ASSERT_TRUE(waitUntil([&] { return !QFile::exists(plain); }, 10000));
    EXPECT_EQ(user.headings, QStringList(2, u"Enter the key of Diary (editor) to encrypt its files:\n"
                                            "plain.txt, locked.txt"_s));
    ASSERT_EQ(user.messages.size(), 2);
    EXPECT_TRUE(user.messages[0].contains(u"Diary (editor): plain.txt. Encrypting them after the program "
                                          "ended failed."_s))
        << user.messages[0].toStdString();
    EXPECT_EQ(user.messages[1], wrongEntryKeyText(locked));
    EXPECT_EQ(openedWith(plain, "India999"), QByteArray("left plain"));
    EXPECT_EQ(openedWith(locked, "India999"), QByteArray("still locked"));
    EXPECT_TRUE(readLeftJournals(journals()).isEmpty());
}

// With every file plain and no key known (after a restart) the run ended and nothing was
// encrypted, without a word.
TEST_F(LeftPlain, AStartWithEveryFilePlainAndNoKeyAsksTheKeyTwiceAndLocksWithItAtTheEnd)
{
    const QString diary = file("diary.txt", "plain words");
    const QString ran = at("ran");
    const int n = entry(script("editor", "echo >> " + quoted(ran) + "; sleep 0.2"), {diary});

    // Cancelled: the program does not start, and the user hears which files lie plain.
    state.chooseEntry(n);
    ASSERT_TRUE(told(1));
    EXPECT_FALSE(QFile::exists(ran));
    EXPECT_TRUE(user.messages[0].startsWith(u"Diary (editor) was not started"_s))
        << user.messages[0].toStdString();
    EXPECT_TRUE(user.messages[0].contains(diary));

    user.keys = {u"Juliet10"_s};
    launcher.options.endedAtOnceMs = 0;
    state.chooseEntry(n);
    ASSERT_TRUE(runThrough());
    EXPECT_EQ(user.headings.size(), 2);
    EXPECT_EQ(openedWith(diary, "Juliet10"), QByteArray("plain words"));
    EXPECT_EQ(user.messages.size(), 1);
}

// A failed re-lock was told twice (the status window, then the launcher) and named neither the
// files after the failed one nor the way back; No to the hand-off question left the files plain
// without a word.
TEST_F(LeftPlain, AFailedRelockAndNoToTheHandOffQuestionAreToldOnceWithEveryPlainFileAndTheWayBack)
{
    const QStringList files {file("a.txt", "a", "Kilo1111"), file("b.txt", "b", "Kilo1111"),
                             file("c.txt", "c", "Kilo1111")};
    ASSERT_TRUE(keys.append(secret("Kilo1111")));
    // The program puts a folder where its first file was: the re-lock stops there.
    const int n = entry(script("editor", "sleep 0.2; rm \"$1\"; mkdir \"$1\""), files, u"a.txt"_s);
    launcher.options.endedAtOnceMs = 0;
    state.chooseEntry(n);
    ASSERT_TRUE(runThrough());
    ASSERT_TRUE(waitUntil([&] { return !user.messages.isEmpty(); }, 5000));
    QTest::qWait(200);
    ASSERT_EQ(user.messages.size(), 1) << user.messages.join(u"\n--\n"_s).toStdString();
    const QString& relockFailed = user.messages[0];
    EXPECT_TRUE(relockFailed.startsWith(u"Encrypting the files of Diary (editor) again failed."_s))
        << relockFailed.toStdString();
    for (const QString& f : files)
        EXPECT_TRUE(relockFailed.contains(u'\n' + f + u'\n')) << f.toStdString();
    EXPECT_TRUE(relockFailed.contains(u"choose Encrypt..."_s));
    ASSERT_TRUE(QDir(files[0]).removeRecursively());
    for (const QString& f : files.mid(1))
        EXPECT_EQ(openedWith(f, "Kilo1111"), "(plain)");

    // The hand-off question names the program; No is followed by one message with the files.
    for (const QString& f : files.mid(1))
        ASSERT_EQ(crypto::encryptOne(f, "Kilo1111").kind, crypto::CryptOutcome::Done);
    state.entry(n).Path = script("quick", "exit 0");
    state.entry(n).Data = joinFileList(files.mid(1));
    launcher.options.endedAtOnceMs = 5000;
    user.messages.clear();
    user.answers = {false};
    state.chooseEntry(n);
    ASSERT_TRUE(told(2, 10000));
    EXPECT_EQ(user.messages[0], endedAtOnceQuestion(u"Diary (quick)"_s));
    EXPECT_EQ(user.messages[1], leftPlainAdvice(u"Diary (quick)"_s, files.mid(1)));
    QTest::qWait(200);
    EXPECT_EQ(user.messages.size(), 2);
}

// The information line kept "Waiting for ... to close ..." after the re-lock was done.
TEST_F(LeftPlain, TheInformationLineSaysTheRelockIsDoneAfterItWaitedForAHolder)
{
    const QString diary = file("diary.txt", "words", "Mike3333");
    ASSERT_TRUE(keys.append(secret("Mike3333")));
    const QString held = at("held");
    // The program hands the file to a process outside the watch, which keeps it open a while.
    const QString holder =
        script("holder", "exec 7< " + quoted(diary) + "; touch " + quoted(held) + "; exec sleep 0.6");
    const int n =
        entry(script("editor", "while [ ! -e " + quoted(held) + " ]; do sleep 0.02; done"), {diary});
    launcher.options.endedAtOnceMs = 0;
    std::optional<StartOutcome> outside;
    QObject::connect(&state, &QuickListState::pendingChanged, [&](int count) {
        if (count == 1 && !outside)
            outside = launchtest::start(holder);
    });
    state.chooseEntry(n);
    ASSERT_TRUE(runThrough());
    ASSERT_TRUE(outside && outside->status.ok);
    EXPECT_TRUE(launchtest::waitHelper(*outside, 5000));
    ASSERT_GE(notes.size(), 2);
    EXPECT_TRUE(notes[notes.size() - 2].startsWith(u"Waiting for sleep"_s))
        << notes.join(u'\n').toStdString();
    EXPECT_EQ(notes.back(), u"The files of Diary (editor) are encrypted again."_s);
    EXPECT_EQ(openedWith(diary, "Mike3333"), QByteArray("words"));
    EXPECT_TRUE(user.messages.isEmpty()) << user.messages.join(u'\n').toStdString();
}

} // namespace
} // namespace mv::secured
