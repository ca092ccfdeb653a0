// Quitting or closing while the window's jobs run, by a stop signal sent to this process with the handlers
// the program installs. While an encryption batch runs or waits on one of its questions: the batch stops as
// Cancel's Yes stops it, the questions close unanswered, the window closes with its settings written, and
// every file is whole. At each moment of a Secured Access List entry's start and re-lock: the window ends
// without a crash, a program whose start was cut short never runs, and every file of the entry is whole and
// either encrypted with the entry's key or named in the run journal for the next start. While a listed
// program runs: the window waits for it and its re-lock, for a while.
#include "WindowTestBase.h"

#include "../../secured/LaunchTestKit.h"
#include "../../support/NoisePicture.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "crypto/ui/DialogDriver.h"
#include "fileutil/TestFiles.h"
#include "fileutil/ui/DeleteCommand.h"
#include "fileutil/ui/DeleteStatus.h"
#include "secured/FileListText.h"
#include "secured/OpenFileHolders.h"
#include "secured/QuickListState.h"
#include "secured/RunJournal.h"
#include "secured/ui/ProgTitle.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/Registry.h"
#include "shell/ui/QuitRequest.h"
#include "viewing/ViewingTestFiles.h"
#include "viewing/ui/PictureCopy.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <map>

using namespace mv;
using namespace Qt::StringLiterals;
using mvtest::writeAll;

namespace {

const char* const kKey = "entry key";

// The file `plain` holds `bytes`, plain or, under its encrypted name, encrypted with `key`;
// whether it was found plain.
bool expectWhole(const QString& plain, const QByteArray& bytes, const char* key)
{
    QFile file(plain);
    if (file.open(QIODevice::ReadOnly)) {
        EXPECT_EQ(file.readAll(), bytes) << plain.toStdString();
        return true;
    }
    const crypto::MemoryDecrypt d = crypto::decryptToMemory(
        crypto::EncryptedName(plain), {crypto::SecretText::fromBytes(key, std::strlen(key))}, 1 << 26);
    EXPECT_TRUE(d.kind == crypto::MemoryDecrypt::Opened && d.bytes.view() == bytes) << plain.toStdString();
    return false;
}

struct Moment {
    const char* when;
    bool keyCached;        // else the start asks for the key
    bool slowStart;        // the launch helper answers after a second
    QByteArray programEnd; // what the program does before it ends
    std::function<bool(QWidget* modal, const QString& secondPlain)> stopHere;
    bool programRuns;
    bool leftUndone;
};

// Whether `modal` is a message box whose text holds `text`, or the status window saying it.
bool says(QWidget* modal, const char* text)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        return box->text().contains(QLatin1String(text));
    auto* label = modal ? modal->findChild<QLabel*>(u"Label1"_s) : nullptr;
    return modal && modal->objectName() == "EncStat"_L1 && label && label->text() == QLatin1String(text);
}

const Moment kMoments[] = {
    {"at the key question", false, false, "sleep 0.2",
     [](QWidget* m, const QString&) { return m && m->objectName() == "AskKey"_L1; }, false, false},
    {"mid-file while decrypting", true, false, "sleep 0.2",
     [](QWidget* m, const QString&) { return says(m, "Currently decrypting..."); }, false, false},
    {"while the start waits for the launch helper", true, true, "sleep 0.2",
     [](QWidget* m, const QString& second) { return !m && QFile::exists(second); }, false, false},
    {"while re-locking", true, false, "sleep 0.2",
     [](QWidget* m, const QString&) { return says(m, "Currently encrypting..."); }, true, false},
    // The program leaves another file under the second file's encrypted name: the re-lock asks
    // whether to replace it, and the quit answers Cancel.
    {"at the re-lock's replace question", true, false, "printf other > \"$2\"",
     [](QWidget* m, const QString&) { return says(m, "already exists"); }, true, true},
};

const char* const kBatchKey = "quit test key";

class QuitDuringBatchTest : public shell::test::WindowTestBase, public ::testing::WithParamInterface<int> {
public:
    void SetUp() override
    {
        shell::test::WindowTestBase::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            add(QLatin1String(name), QByteArray(2'000'000, name[0]));
        start();
        quitOnSignal();
        ASSERT_TRUE(listAll());
    }
    using shell::test::WindowTestBase::menus; // for the cases' arrangements

    void add(const QString& name, const QByteArray& bytes)
    {
        ASSERT_TRUE(mvtest::writeAll(pics_.filePath(name), bytes));
        files_[name] = bytes;
    }

    // Runs the menu item, answering its dialogs as a user would, and sends the signal at the
    // window `stopHere` picks; then the main window must be gone within a few seconds.
    void runUntil(QAction* item, const std::function<bool(QWidget*)>& stopHere)
    {
        bool sent = false;
        crypto::test::ModalWatch watch([&](QWidget* w) {
            if (!sent && stopHere(w)) {
                sent = true;
                ::raise(SIGTERM);
                // Should the way out be lost, fail rather than wait for ever on a question.
                QTimer::singleShot(10000, window_.get(), [] {
                    while (QWidget* open = QApplication::activeModalWidget())
                        open->hide();
                });
                return;
            }
            QTimer::singleShot(0, w, [w] {
                if (w->objectName() == "Encrypt"_L1 || w->objectName() == "Confirm"_L1)
                    crypto::test::typeKeyAndEnter(w, QLatin1String(kBatchKey));
                else if (w->objectName() == "Decrypt"_L1)
                    crypto::test::control<QPushButton>(w, "BeginBut")->click();
            });
        });
        item->trigger();
        EXPECT_TRUE(!sent || until([&] { return !window_->isVisible(); }, 5000));
    }

    // Each file is there whole, plain or encrypted under the test's key, and nothing else is.
    void expectEveryFileWhole()
    {
        EXPECT_EQ(QDir(pics_.path()).entryList(QDir::Files).size(), int(files_.size()));
        for (const auto& [name, bytes] : files_)
            expectWhole(pics_.filePath(name), bytes, kBatchKey);
    }

    std::map<QString, QByteArray> files_;
};

const struct Case {
    const char* when;
    std::function<void(QuitDuringBatchTest&)> arrange; // may run the menus itself
    bool encrypt;
    std::function<bool(QWidget*)> stopHere;
} kCases[] = {
    {"while it runs", {}, true, [](QWidget* w) { return w->inherits("mv::crypto::EncDecProcess"); }},
    {"at the key question",
     [](QuitDuringBatchTest& t) {
         // Encrypted with the key, which is then forgotten: decrypting asks for it.
         t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; });
         t.menus().mnuClearKeys->trigger();
     },
     false, [](QWidget* w) { return w->objectName() == "AskKey"_L1; }},
    {"at Replace or Skip", [](QuitDuringBatchTest& t) { t.add(u"b_txt.mv$"_s, "someone else's"); }, true,
     [](QWidget* w) { return says(w, "already exists"); }},
    {"at the left-over question", [](QuitDuringBatchTest& t) { t.add(u"$MV0A1B2C.TMP"_s, "left"); }, true,
     [](QWidget* w) { return says(w, "interrupted"); }},
    {"at the closing summary",
     [](QuitDuringBatchTest& t) { t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; }); }, true,
     [](QWidget* w) { return says(w, "skiped"); }},
};

class QuitTest : public shell::test::WindowTestBase {};
class QuitDuringListJobTest : public QuitTest, public ::testing::WithParamInterface<int> {};

// It used to close the status window around its running worker: the window crashed (exit
// status 139), the listed program was started without its file, and a re-lock cut short
// counted as done.
TEST_P(QuitDuringListJobTest, EveryFileIsEncryptedOrInTheJournalAndACutStartNeverRuns)
{
    const Moment& m = kMoments[GetParam()];
    SCOPED_TRACE(m.when);
    QTemporaryDir dir;
    const QString journal = dir.filePath(u"journal"_s), marker = dir.filePath(u"ran"_s);
    const QStringList files {dir.filePath(u"large.bin"_s), dir.filePath(u"notes.txt"_s)};
    QByteArray large(24 << 20, 0);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 131 + (i >> 12));
    const QList<QByteArray> bytes {large, "notes"};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(writeAll(files[i], bytes[i]));
        ASSERT_EQ(crypto::encryptOne(files[i], kKey).kind, crypto::CryptOutcome::Done);
    }
    const QString program =
        launchtest::writeScript(dir.filePath(u"editor"_s),
                                "sleep 0.1; echo ran > '" + QFile::encodeName(marker) + "'; " + m.programEnd);
    QString helper = QStringLiteral(MV_LAUNCH_HELPER);
    if (m.slowStart)
        helper = launchtest::writeScript(dir.filePath(u"slow-helper"_s),
                                         "sleep 1; exec '" + QFile::encodeName(helper) + "' \"$@\"");

    shell::MainWindow& window = start();
    quitOnSignal();
    secured::QuickListLauncher& launcher = *window.quickListLauncher();
    launcher.options = launchtest::testOptions(journal, 0, 100, helper);
    if (m.keyCached)
        window.findChild<crypto::KeyState*>()->append(crypto::SecretText::fromBytes(kKey, std::strlen(kKey)));
    secured::QuickItem item;
    item.Title = u"Editor"_s;
    item.Path = program;
    item.Params = u"large.bin '"_s + crypto::EncryptedName(files[1]) + u"'"_s;
    item.Data = secured::joinFileList(files);
    secured::QuickListState& state = window.quickListState();
    const int n = state.appendEntry(item);
    // Chosen before the start-up's offer of left-plain files has run: that offer used to read
    // this start's fresh journal, find no file plain yet and wipe it.

    bool sent = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!sent && m.stopHere(QApplication::activeModalWidget(), files[1])) {
            sent = true;
            ::raise(SIGTERM);
        }
    });
    watch.start(2);
    state.chooseEntry(n);
    ASSERT_TRUE(until([&] { return sent && !window.isVisible(); }, 60000));
    watch.stop();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // A program started just before the stop is killed at once; give a survivor time to show.
    QThread::msleep(1300);
    EXPECT_EQ(QFile::exists(marker), m.programRuns);
    EXPECT_EQ(window.workLeftUndone(), m.leftUndone);

    QStringList named;
    for (const secured::LeftJournal& left : secured::readLeftJournals(journal))
        named << left.plainFiles;
    for (int i = 0; i < 2; ++i) {
        const bool plain = expectWhole(files[i], bytes[i], kKey);
        EXPECT_TRUE(!plain || named.contains(files[i]))
            << "plain and named nowhere: " << files[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EachMoment, QuitDuringListJobTest, ::testing::Range(0, int(std::size(kMoments))));

// The title box refuses to close on a blank title; a quit asked while it held one was refused
// every 20 ms for ever, and the program never ended.
TEST_F(QuitTest, ABlankProgramTitleDoesNotHoldTheQuitAndKeepsTheTitle)
{
    shell::MainWindow& window = start();
    quitOnSignal();
    QString answer = u"unset"_s;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m->objectName() == "ProgTitle"_L1 && answer == u"unset"_s) {
            watch.stop();
            m->findChild<QLineEdit*>(u"Title"_s)->clear();
            ::raise(SIGTERM);
        }
    });
    watch.start(2);
    QTimer::singleShot(0, &window, [&] { answer = secured::ProgTitle::ask(u"Editor"_s, &window); });
    ASSERT_TRUE(until([&] { return !window.isVisible(); }));
    EXPECT_EQ(answer, u"Editor"_s);
    EXPECT_FALSE(window.workLeftUndone());
}

// A thumbnail build with nothing to do ended inside its own start; the window counted it as
// running from then on, and a quit waited for it for ever. The decoder helpers used to belong to
// the viewer, which went before the thumbnail grid and the clipboard copy that decode in them
// too. Closed in the middle of either, the window takes them down first; under the sanitizers a
// part that outlived the helpers is an abort.
TEST_F(QuitTest, EmptyFolderThumbnailsDoNotHoldTheQuitAndClosingMidBuildOrCopyEndsInOrder)
{
    start();
    quitOnSignal();
    ASSERT_TRUE(browser().setFolder(pics_.path())); // no pictures yet
    menus().mnuThumb->trigger();
    ::raise(SIGTERM);
    EXPECT_TRUE(until([&] { return !window_->isVisible(); })) << "an empty folder's thumbnails hold the quit";

    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(writeAll(pics_.filePath(u"noise%1.png"_s.arg(i)), test::noisePng(1200, 900, quint32(i))));
    // A large photo is decoded reduced to fit the area, so Copy reads it again whole.
    ASSERT_TRUE(mvtest::flat(4000, 3000, Qt::darkCyan).save(pics_.filePath(u"photo.jpg"_s), "JPEG"));
    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "thumbnails");
        shell::MainWindow& window = start();
        ASSERT_TRUE(listAll());
        if (copy) {
            menus().MenuZoomLevel[0]->trigger(); // "Best Fit": the picture on show is reduced
            auto& viewer = shell::test::part<viewing::SelectionViewer>(window);
            QSignalSpy settled(&viewer, &viewing::SelectionViewer::selectionSettled);
            files().selectRow(files().find(u"photo.jpg"_s));
            ASSERT_TRUE(settled.count() || settled.wait(20000));
            menus().MenuCpoy->trigger();
            EXPECT_TRUE(shell::test::part<viewing::PictureCopy>(window).busy());
        } else {
            menus().mnuThumb->trigger();
            EXPECT_FALSE(shell::test::part<viewing::ThumbnailView>(window).StopThumbs());
        }
        window_.reset();
    }
}

// A safe delete stops after the file in hand: every file is gone or whole, and the window waits
// for the wipe under way rather than closing around it.
TEST_F(QuitTest, ASafeDeleteStopsAfterTheFileInHandAndLeavesTheOthersWhole)
{
    const QByteArray bytes(16 << 20, 'w');
    const QStringList names {u"a.bin"_s, u"b.bin"_s, u"c.bin"_s, u"d.bin"_s};
    for (const QString& name : names)
        ASSERT_TRUE(writeAll(pics_.filePath(name), bytes));
    shell::MainWindow& window = start();
    quitOnSignal();
    ASSERT_TRUE(listAll());
    auto& deletes = shell::test::part<fileutil::DeleteCommand>(window);
    deletes.confirm = [](int, bool, const QString&) { return true; };
    deletes.storageWarning = [](const QString&) { return QString(); };
    if (!menus().mnuSafeDelete->isChecked())
        menus().mnuSafeDelete->trigger();
    files().selectAll();
    menus().MenuDelete->trigger();
    // Once the wipe has begun: the status window names the file in hand.
    ASSERT_TRUE(until([&] {
        auto* status = window.findChild<fileutil::DeleteStatus*>();
        auto* inHand = status ? status->findChild<QLabel*>(u"lbl2"_s) : nullptr;
        return inHand && !inHand->toolTip().isEmpty();
    }));
    ::raise(SIGTERM);
    ASSERT_TRUE(until([&] { return !window.isVisible(); }, 30000));
    EXPECT_FALSE(deletes.busy());
    const QStringList left = QDir(pics_.path()).entryList(QDir::Files);
    EXPECT_LT(left.size(), names.size());
    EXPECT_EQ(window.workLeftUndone(), !left.isEmpty());
    for (const QString& name : left) {
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
        EXPECT_EQ(mvtest::readAll(pics_.filePath(name)), bytes) << name.toStdString();
    }
}

// It used to close the window only: the batch went on, and the process then waited for ever on
// a "Cancel the current opperation?" box nobody could see.
TEST_P(QuitDuringBatchTest, EndsTheBatchWithEveryFileWholeAndTheSettingsWritten)
{
    const Case& c = kCases[GetParam()];
    SCOPED_TRACE(c.when);
    if (c.arrange)
        c.arrange(*this);
    runUntil(c.encrypt ? menus().MenuEncrypt : menus().MenuDecrypt, c.stopHere);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    expectEveryFileWhole();
    EXPECT_EQ(shell::GetSetting(u"Settings"_s, u"Last Dir"_s), pics_.path());
}

INSTANTIATE_TEST_SUITE_P(EachMoment, QuitDuringBatchTest, ::testing::Range(0, int(std::size(kCases))));

// The close used to be refused with "Can not exit now" in a message box nobody would answer at
// a logout, and the window went on: the session then killed it with the files plain.
TEST_F(QuitTest, AStopSignalWaitsForTheProgramAndItsRelockBoundedThenLeavesItNamed)
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(u"notes.txt"_s);
    const QString go = dir.filePath(u"go"_s);
    const QString journal = dir.filePath(u"journal"_s);
    const crypto::SecretText key = crypto::SecretText::fromText(u"Lima2222"_s);
    // Ends when told to, as a program does when the session ends it; the second never does.
    const QString program = launchtest::writeScript(dir.filePath(u"editor"_s),
                                                    "while [ ! -e " + launchtest::quoted(go) +
                                                        " ]; do sleep 0.05; done; echo saved >> \"$1\"");
    const QString stubborn = launchtest::writeScript(dir.filePath(u"stubborn"_s), "exec sleep 30");

    for (const bool endsInTime : {true, false}) {
        SCOPED_TRACE(endsInTime ? "the program ends in time" : "the program runs on");
        // One set of signal handlers at a time: the old ones go first.
        quit_.reset();
        window_.reset();
        QFile::remove(go);
        QFile::remove(crypto::EncryptedName(notes));
        ASSERT_TRUE(mvtest::writeAll(notes, "words\n"));
        ASSERT_EQ(crypto::encryptOne(notes, "Lima2222").kind, crypto::CryptOutcome::Done);
        shell::MainWindow& window = start();
        quitOnSignal();
        auto* quit = window.findChild<shell::QuitRequest*>();
        ASSERT_NE(quit, nullptr);
        quit->programWaitMs = endsInTime ? 30000 : 600;
        secured::QuickListLauncher& launcher = *window.quickListLauncher();
        launcher.options = launchtest::testOptions(journal, 0);
        window.findChild<crypto::KeyState*>()->append(key);
        secured::QuickItem item;
        item.Title = u"Editor"_s;
        item.Path = endsInTime ? program : stubborn;
        item.Params = u"notes.txt"_s;
        item.Data = notes;
        secured::QuickListState& state = window.quickListState();
        state.chooseEntry(state.appendEntry(item));
        ASSERT_TRUE(until([&] { return state.PendingCount() == 1; }));

        // A box that would stand at a logout is recorded and closed.
        QStringList boxes;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->reject();
            }
        });
        answer.start(10);
        ::raise(SIGTERM);
        QTest::qWait(400);
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
        if (endsInTime) {
            EXPECT_TRUE(window.isVisible());
            ASSERT_TRUE(mvtest::writeAll(go, ""));
            ASSERT_TRUE(until([&] { return !window.isVisible(); }, 20000));
            EXPECT_FALSE(window.workLeftUndone());
            const crypto::MemoryDecrypt d =
                crypto::decryptToMemory(crypto::EncryptedName(notes), {key}, 1 << 20);
            ASSERT_EQ(d.kind, crypto::MemoryDecrypt::Opened);
            EXPECT_EQ(d.bytes.view(), "words\nsaved\n");
            EXPECT_FALSE(QFile::exists(notes));
            EXPECT_TRUE(secured::readLeftJournals(journal).isEmpty());
            continue;
        }
        // Past its time the window closes; the file stays plain, named with the program that
        // still runs, and the exit status tells it.
        ASSERT_TRUE(until([&] { return !window.isVisible(); }, 5000));
        EXPECT_TRUE(window.workLeftUndone());
        const QList<secured::LeftJournal> left = secured::readLeftJournals(journal);
        ASSERT_EQ(left.size(), 1);
        EXPECT_EQ(left[0].plainFiles, QStringList {notes});
        EXPECT_TRUE(secured::processRuns(left[0].record.helperPid, left[0].record.helperStarted));
        ::kill(left[0].record.programPid, SIGKILL);
    }
}

} // namespace
