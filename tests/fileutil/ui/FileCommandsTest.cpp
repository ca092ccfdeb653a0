// "Delete Selected..." and "Safe Delete" in the main window: the item follows the selection, the
// questions say what the user is about to do, and the files go where the answers say. frmAsc
// driven through its boxes and buttons, read back from the desktop's mimeapps.list.
#include "crypto/ui/DialogDriver.h"
#include "desktop/DesktopFolders.h"
#include "desktop/MimeAppsList.h"
#include "desktop/Trash.h"
#include "fileutil/NameText.h"
#include "fileutil/TestFiles.h"
#include "fileutil/WipeReach.h"
#include "fileutil/ui/AssociationDialog.h"
#include "fileutil/ui/DeleteCommand.h"
#include "shell/AssociationStore.h"
#include "shell/Registry.h"
#include "shell/ui/WindowTestBase.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::fileutil {
namespace {

using crypto::test::control;
using crypto::test::ModalWatch;

// What a message box showed, and the button it was answered with.
struct Answered {
    QString text;
    QString informative;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class DeleteCommandTest : public shell::test::WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        savedData_ = qgetenv("XDG_DATA_HOME"); // a trash of this test alone
        qputenv("XDG_DATA_HOME", QFile::encodeName(config_.filePath(QStringLiteral("data"))));
        for (const char* name : {"a.png", "b.png", "c.png"})
            ASSERT_TRUE(mvtest::writeAll(path(name), mvtest::patterned(2000)));
        start();
        ASSERT_TRUE(browser().setFolder(pics_.path()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return files().names().size() == 3; }, 5000));
    }
    void TearDown() override
    {
        WindowTestBase::TearDown();
        qputenv("XDG_DATA_HOME", savedData_);
    }

    DeleteCommand& command() const { return shell::test::part<DeleteCommand>(*window_); }
    QString path(const char* name) const { return pics_.filePath(QLatin1String(name)); }

    void select(std::initializer_list<int> rows)
    {
        files().selectRow(-1);
        for (int row : rows)
            files().selectionModel()->select(files().model()->index(row, 0), QItemSelectionModel::Select);
    }

    // Runs Delete Selected, answering each message box in turn; waits for the end of the run
    // when the first answer is Yes.
    QList<Answered> deleteAnswering(QList<QMessageBox::StandardButton> answers,
                                    const std::function<void()>& onBox = {})
    {
        QList<Answered> seen;
        const bool runs = answers.first() == QMessageBox::Yes;
        ModalWatch watch([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box)
                return;
            seen << Answered {box->text(), box->informativeText(), box->standardButton(box->defaultButton())};
            if (onBox)
                onBox();
            box->button(answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst())->click();
        });
        QSignalSpy finished(&command(), &DeleteCommand::finished);
        menus().MenuDelete->trigger();
        if (runs)
            EXPECT_TRUE(finished.count() || finished.wait(20000));
        else
            EXPECT_TRUE(QTest::qWaitFor([this] { return !command().busy(); }, 10000));
        return seen;
    }

    QByteArray savedData_;
};

// The item is there while entries are selected; No changes nothing; Yes moves the files to
// the trash and the list is read again; a file the trash refuses is named and stays.
TEST_F(DeleteCommandTest, DeleteFollowsTheSelectionAndMovesFilesToTheTrash)
{
    EXPECT_FALSE(menus().MenuDelete->isEnabled());
    EXPECT_TRUE(menus().mnuSafeDelete->isEnabled());
    select({0, 2});
    EXPECT_TRUE(menus().MenuDelete->isEnabled());

    const QList<Answered> no = deleteAnswering({QMessageBox::No});
    ASSERT_EQ(no.size(), 1);
    EXPECT_EQ(no[0].text, "Delete the selected 2 files?");
    EXPECT_EQ(no[0].defaultButton, QMessageBox::Yes);
    EXPECT_TRUE(QFile::exists(path("a.png")) && QFile::exists(path("c.png")));

    deleteAnswering({QMessageBox::Yes});
    EXPECT_EQ(mvtest::entries(pics_.path()), QStringList {"b.png"});
    EXPECT_EQ(mvtest::entries(desktop::homeTrash() + "/files"), (QStringList {"a.png", "c.png"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return (files().names()) == (QStringList {"b.png"}); }, 5000));

    const QByteArray data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("b.png") + "/share"));
    select({0});
    QList<bool> statusShown; // the status window is gone before the failure is told
    const QList<Answered> refused = deleteAnswering({QMessageBox::Yes, QMessageBox::Ok}, [&] {
        const auto* status = window_->findChild<QDialog*>(QStringLiteral("frmStatus"));
        statusShown << (status && status->isVisible());
    });
    qputenv("XDG_DATA_HOME", data);
    EXPECT_EQ(statusShown, (QList<bool> {false, false}));
    ASSERT_EQ(refused.size(), 2);
    EXPECT_EQ(refused[0].text, "Delete the selected file?");
    EXPECT_EQ(refused[1].text, "1 file(s) could not be moved to the trash and stay where they were:\n\n" +
                                   path("b.png") + ": the folder " + path("b.png") +
                                   "/share for the trash can't be made: Not a directory");
    EXPECT_TRUE(QFile::exists(path("b.png")));
}

// Safe Delete is stored as it is turned; its question adds what overwriting can't reach on the
// folder's file system; a file that can't be wiped is named with the reason, and No keeps
// the files after it whole while Yes goes on.
TEST_F(DeleteCommandTest, SafeDeleteWarnsAboutTheFileSystemAndAsksAfterAFailure)
{
    menus().mnuSafeDelete->trigger();
    EXPECT_TRUE(command().SafeDeleteMode());
    EXPECT_EQ(settings_->truth(shell::Setting::SafeDelete), true);
    StorageFacts btrfs;
    btrfs.path = QStringLiteral("/home/u");
    btrfs.magic = 0x9123683E;
    btrfs.mountInfo = "30 1 0:45 / /home rw - btrfs /dev/sda2 rw\n";
    command().storageWarning = [&](const QString&) { return wipeReachWarning(wipeReach(btrfs)); };

    // a.png has a second name elsewhere, so its wipe is refused.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(mvtest::hardLink(path("a.png"), elsewhere.filePath("a.png")));
    ASSERT_EQ(::chmod(QFile::encodeName(path("c.png")).constData(), 0444), 0);
    select({0, 2});
    QStringList statusLines;
    const QList<Answered> stop = deleteAnswering({QMessageBox::Yes, QMessageBox::No}, [&] {
        if (auto* lbl2 = window_->findChild<QLabel*>(QStringLiteral("lbl2")))
            statusLines << lbl2->toolTip();
    });
    ASSERT_EQ(stop.size(), 2);
    EXPECT_EQ(stop[0].text, "Safe delete the selected 2 files?\nThis can not be undone.");
    EXPECT_EQ(stop[0].defaultButton, QMessageBox::No);
    EXPECT_TRUE(stop[0].informative.startsWith("This folder is on Btrfs, "))
        << stop[0].informative.toStdString();
    EXPECT_TRUE(stop[0].informative.contains("an encrypted file whose key is forgotten"));
    EXPECT_EQ(stop[1].text, "Can't safe delete file, " + path("a.png") +
                                ": check file: has other hard links\n\nContinue with next file?");
    EXPECT_EQ(statusLines, QStringList {path("a.png")}); // shown while its question is asked
    EXPECT_EQ(mvtest::readAll(path("c.png")), mvtest::patterned(2000));

    select({0, 2});
    deleteAnswering({QMessageBox::Yes, QMessageBox::Yes});
    EXPECT_EQ(mvtest::entries(pics_.path()), (QStringList {"a.png", "b.png"}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return bool(window_->findChildren<QDialog*>(QStringLiteral("frmStatus")).isEmpty()); }, 5000));
}

// The main window turned "Delete Selected..." on again at every selection change, so a click on
// another file while a safe delete waited on a question offered a second delete of it. The item
// stays off from the click to the end of the run, whatever is selected meanwhile, in both modes.
// And the status window's Cancel (Esc there) stops the run after the file in hand: pressed while
// the question after a failure waits, Yes to that question no longer goes on to the next file.
TEST_F(DeleteCommandTest, SelectionChangeDuringARunningDeleteLeavesDeleteDisabledAndCancelStopsIt)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(mvtest::hardLink(path("a.png"), elsewhere.filePath("a.png")));
    command().storageWarning = [](const QString&) { return QString(); };
    menus().mnuSafeDelete->trigger();
    select({0, 2});
    const QList<Answered> cancelled = deleteAnswering({QMessageBox::Yes, QMessageBox::Yes}, [&] {
        // With the keyboard: Esc in the status window is its Cancel.
        if (auto* status = window_->findChild<QDialog*>(QStringLiteral("frmStatus")))
            QTest::keyClick(status, Qt::Key_Escape);
    });
    ASSERT_EQ(cancelled.size(), 2);
    EXPECT_EQ(mvtest::entries(pics_.path()), (QStringList {"a.png", "b.png", "c.png"}));

    for (const bool safe : {true, false}) {
        if (command().SafeDeleteMode() != safe)
            menus().mnuSafeDelete->trigger();
        select({0});
        QList<bool> enabledDuringRun;
        const QList<Answered> asked = deleteAnswering({QMessageBox::Yes, QMessageBox::No}, [&] {
            select({int(files().names().size()) - 1});
            enabledDuringRun << menus().MenuDelete->isEnabled();
        });
        // Safe: the confirmation, then the question after a.png, asked by the running worker.
        ASSERT_EQ(asked.size(), safe ? 2 : 1) << safe;
        EXPECT_EQ(enabledDuringRun, QList<bool>(asked.size(), false)) << safe;
        select({0});
        EXPECT_TRUE(menus().MenuDelete->isEnabled()) << safe;
    }
    EXPECT_EQ(mvtest::entries(pics_.path()), (QStringList {"b.png", "c.png"}));
}

// A name that is not valid text was left out of the list, so it could not be deleted from the
// window. It is listed with its bytes written out, and both deletes reach exactly its bytes:
// Qt would have turned it into the name with a replacement character, which is another file.
TEST_F(DeleteCommandTest, ANameThatIsNotTextIsListedEscapedAndBothDeletesReachIt)
{
    const QByteArray folder = QFile::encodeName(pics_.path()) + '/';
    for (const char* name : {"bad\xff.png", "bad\xef\xbf\xbd.png", "wipe\xfe.png"})
        ASSERT_EQ(::close(::open((folder + name).constData(), O_CREAT | O_WRONLY, 0600)), 0);
    browser().RefreshFileList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return files().names().size() == 6; }, 5000));
    const auto rowOf = [&](const char* native) {
        return int(files().names().indexOf(nameFromNative(native)));
    };
    EXPECT_EQ(files().model()->index(rowOf("bad\xff.png"), 0).data().toString(), "bad\\xff.png");

    select({rowOf("bad\xff.png")});
    deleteAnswering({QMessageBox::Yes});
    const QByteArray trash = QFile::encodeName(desktop::homeTrash());
    struct stat st {};
    EXPECT_EQ(::lstat((trash + "/files/bad\xff.png").constData(), &st), 0);
    std::ifstream info((trash + "/info/bad\xff.png.trashinfo").toStdString());
    const std::string text((std::istreambuf_iterator<char>(info)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("/bad%FF.png\n"), std::string::npos) << text;

    command().storageWarning = [](const QString&) { return QString(); };
    menus().mnuSafeDelete->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOf("wipe\xfe.png") >= 0; }, 5000));
    select({rowOf("wipe\xfe.png")});
    deleteAnswering({QMessageBox::Yes});
    EXPECT_NE(::lstat((folder + "wipe\xfe.png").constData(), &st), 0);
    // The file whose name Qt would have made of them was never touched.
    EXPECT_EQ(::lstat((folder + "bad\xef\xbf\xbd.png").constData(), &st), 0);
    EXPECT_EQ(::lstat((trash + "/files/bad\xef\xbf\xbd.png").constData(), &st), -1);
}

QCheckBox* box(const QDialog& dialog, int i)
{
    return dialog.findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
}

QString defaultFor(const QString& type)
{
    return desktop::MimeAppsList(mvtest::readAll(desktop::mimeAppsListPath()))
        .value(desktop::MimeAppsList::kDefaultApplications, type);
}

TEST(AssociationDialogTest, BoxesOpenFromTheDesktopAndAssociateAppliesThem)
{
    QFile::remove(shell::hiveFilePath(shell::HKEY_CLASSES_ROOT));
    QDir().mkpath(desktop::xdgConfigHome());
    // Only image/jpeg, the type ".jpeg" has, is ours; GIF belongs to another viewer.
    ASSERT_TRUE(mvtest::writeAll(desktop::mimeAppsListPath(),
                                 "[Default Applications]\nimage/jpeg=mirravelnock.desktop;\n"
                                 "image/gif=viewer.desktop;\n"));
    shell::AssociationStore store;
    AssociationDialog dialog(store, QStringLiteral("/usr/bin/mirravelnock"));
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i)
        EXPECT_EQ(box(dialog, i)->isChecked(), i == 10) << i;
    EXPECT_TRUE(control<QPushButton>(&dialog, "butAssociate")->isDefault());

    dialog.show();
    QTest::mouseClick(control<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i)
        EXPECT_TRUE(box(dialog, i)->isChecked()) << i;
    QTest::mouseClick(control<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i)
        EXPECT_FALSE(box(dialog, i)->isChecked()) << i;

    // GIF taken, JPG given back (no backup: its line goes).
    QTest::mouseClick(box(dialog, 6), Qt::LeftButton);
    QSignalSpy done(&dialog, &QDialog::accepted);
    QTest::mouseClick(control<QPushButton>(&dialog, "butAssociate"), Qt::LeftButton);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(dialog.lastResult()) << resultText(dialog.lastResult()).toStdString();
    EXPECT_EQ(defaultFor("image/gif"), "mirravelnock.desktop;");
    EXPECT_EQ(defaultFor("image/jpeg"), "");
    EXPECT_EQ(shell::GetRegValue(shell::HKEY_CLASSES_ROOT, "image/gif", "mv.bak"), "viewer.desktop;");
    EXPECT_TRUE(QFile::exists(desktop::userApplicationsDir() + "/mirravelnock.desktop"));

    // Cancel changes nothing.
    const QByteArray before = mvtest::readAll(desktop::mimeAppsListPath());
    AssociationDialog again(store, QStringLiteral("/usr/bin/mirravelnock"));
    EXPECT_TRUE(box(again, 6)->isChecked());
    again.show();
    QTest::mouseClick(control<QPushButton>(&again, "Command3"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(&again, "Command2"), Qt::LeftButton);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(mvtest::readAll(desktop::mimeAppsListPath()), before);
}

} // namespace
} // namespace mv::fileutil
