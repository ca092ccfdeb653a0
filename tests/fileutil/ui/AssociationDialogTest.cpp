// frmAsc driven through its boxes and buttons, read back from the desktop's mimeapps.list.
#include "fileutil/ui/AssociationDialog.h"
#include "desktop/DesktopFolders.h"
#include "desktop/MimeAppsList.h"
#include "fileutil/TestFiles.h"
#include "shell/AssociationStore.h"
#include "shell/Registry.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mv::fileutil {
namespace {

QCheckBox* box(const QDialog& dialog, int i)
{
    return dialog.findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
}

QPushButton* button(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
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
    EXPECT_TRUE(button(dialog, "butAssociate")->isDefault());

    dialog.show();
    QTest::mouseClick(button(dialog, "Command1"), Qt::LeftButton);
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i)
        EXPECT_TRUE(box(dialog, i)->isChecked()) << i;
    QTest::mouseClick(button(dialog, "Command3"), Qt::LeftButton);
    for (int i = 0; i < desktop::kAssociationBoxCount; ++i)
        EXPECT_FALSE(box(dialog, i)->isChecked()) << i;

    // GIF taken, JPG given back (no backup: its line goes).
    QTest::mouseClick(box(dialog, 6), Qt::LeftButton);
    QSignalSpy done(&dialog, &QDialog::accepted);
    QTest::mouseClick(button(dialog, "butAssociate"), Qt::LeftButton);
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
    QTest::mouseClick(button(again, "Command3"), Qt::LeftButton);
    QTest::mouseClick(button(again, "Command2"), Qt::LeftButton);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(mvtest::readAll(desktop::mimeAppsListPath()), before);
}

} // namespace
} // namespace mv::fileutil
