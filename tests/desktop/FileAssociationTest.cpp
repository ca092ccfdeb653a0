#include "desktop/FileAssociation.h"
#include "AssociationFixture.h"
#include "desktop/DocumentType.h"
#include "desktop/MimeAppsList.h"
#include "shell/AssociationStore.h"

#include <QFileInfo>

using namespace mv::desktop;
using namespace mv::fileutil;
using mv::shell::AssociationStore;
using mv::shell::GetRegValue;
using mv::shell::HKEY_CLASSES_ROOT;

namespace {

// As a GNOME session leaves it: comments, CRLF on one line, other programs' entries in both
// groups, and a group of a later name.
const QByteArray kDesktopsFile = "# written by the desktop\n"
                                 "[Default Applications]\n"
                                 "text/plain=org.gnome.TextEditor.desktop\n"
                                 "image/gif=org.gnome.eog.desktop;org.gimp.GIMP.desktop;\r\n"
                                 "x-scheme-handler/https=firefox-esr.desktop\n"
                                 "\n"
                                 "[Added Associations]\n"
                                 "image/gif=org.gnome.eog.desktop;\n"
                                 "image/x-pcx=gimp.desktop;\n";

AssociationBoxes boxes(std::initializer_list<int> checked)
{
    AssociationBoxes b {};
    for (int i : checked)
        b[size_t(i)] = true;
    return b;
}

QString defaultFor(const QString& type)
{
    return MimeAppsList(mvtest::readAll(mimeAppsListPath())).value(MimeAppsList::kDefaultApplications, type);
}

class FileAssociationTest : public mvtest::AssociationFixture {};

TEST_F(FileAssociationTest, AttachAndDetachLeaveADesktopsFileByteForByte)
{
    // The desktop entry must exist for the desktop to take the default seriously.
    ASSERT_TRUE(RegisterDocumentType(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).status);
    ASSERT_TRUE(mvtest::writeAll(mimeAppsListPath(), kDesktopsFile));
    // The viewer the desktop's file names, installed, so the desktop can fall back on it.
    ASSERT_TRUE(
        mvtest::writeAll(userApplicationsDir() + "/org.gnome.eog.desktop",
                         "[Desktop Entry]\nType=Application\nName=Image Viewer\nExec=/bin/true %U\n"));
    AssociationStore store;

    // GIF (box 6) belonged to an image viewer; PCX (box 14) had no default of the user's.
    ASSERT_TRUE(associate(boxes({6, 14}), store));
    EXPECT_EQ(defaultFor("image/gif"), "mirravelnock.desktop;");
    EXPECT_EQ(defaultFor("image/vnd.zbrush.pcx"), "mirravelnock.desktop;");
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"),
              "org.gnome.eog.desktop;org.gimp.GIMP.desktop;");
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/vnd.zbrush.pcx", "mv.bak"), "");
    EXPECT_EQ(boxes({6, 14}), associatedBoxes());
    if (have("xdg-mime")) {
        EXPECT_EQ(ask("xdg-mime", {"query", "default", "image/gif"}), "mirravelnock.desktop");
        EXPECT_EQ(ask("xdg-mime", {"query", "default", "image/vnd.zbrush.pcx"}), "mirravelnock.desktop");
    }

    ASSERT_TRUE(associate(boxes({}), store));
    EXPECT_EQ(mvtest::readAll(mimeAppsListPath()), kDesktopsFile);
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"), "");
    EXPECT_EQ(boxes({}), associatedBoxes());
    if (have("xdg-mime"))
        EXPECT_EQ(ask("xdg-mime", {"query", "default", "image/gif"}), "org.gnome.eog.desktop");
    else
        GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed: the desktop's reading was not checked";
}

TEST_F(FileAssociationTest, BoxesThatShareATypeOpenTogetherAndBoxesAsTheyAreWriteNothing)
{
    AssociationStore store;
    // BMP alone gives image/bmp, which DIB pictures have too; RAS takes both raster types.
    ASSERT_TRUE(associate(boxes({1, 17}), store));
    EXPECT_EQ(associatedBoxes(), boxes({1, 3, 17}));
    EXPECT_EQ(defaultFor("image/x-sun-raster"), "mirravelnock.desktop;");
    // Every box as it is: nothing is written.
    const ino_t written = mvtest::lstatOf(mimeAppsListPath()).st_ino;
    ASSERT_TRUE(associate(associatedBoxes(), store));
    EXPECT_EQ(mvtest::lstatOf(mimeAppsListPath()).st_ino, written);
    // A default set elsewhere with the program first counts as ours; with it second, not.
    ASSERT_TRUE(mvtest::writeAll(mimeAppsListPath(),
                                 "[Default Applications]\nimage/jpeg=Mirravelnock.desktop;\n"
                                 "image/png=eog.desktop;mirravelnock.desktop;\n"));
    EXPECT_EQ(associatedBoxes(), boxes({10}));
    // Clearing JPG with no backup kept removes the line; PNG, not ours, is left alone.
    ASSERT_TRUE(associate(boxes({}), store));
    EXPECT_EQ(mvtest::readAll(mimeAppsListPath()),
              "[Default Applications]\nimage/png=eog.desktop;mirravelnock.desktop;\n");
}

TEST_F(FileAssociationTest, AnUnreadableMimeappsListIsNeverWrittenOver)
{
    // A folder where the file should be: it can't be read, so nothing may replace it.
    ASSERT_TRUE(QDir().mkpath(mimeAppsListPath()));
    AssociationStore store;
    EXPECT_FALSE(associate(boxes({6}), store));
    EXPECT_TRUE(QFileInfo(mimeAppsListPath()).isDir());
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"), "");
}

TEST_F(FileAssociationTest, ALinkedMimeappsListStaysALinkWithItsMode)
{
    const QString real = xdgConfigHome() + "/dotfiles/mimeapps.list";
    QDir().mkpath(xdgConfigHome() + "/dotfiles");
    ASSERT_TRUE(mvtest::writeAll(real, "[Default Applications]\n"));
    ASSERT_EQ(::chmod(real.toLocal8Bit(), 0600), 0);
    ASSERT_TRUE(QFile::link(real, mimeAppsListPath()));
    AssociationStore store;
    ASSERT_TRUE(associate(boxes({16}), store));
    EXPECT_TRUE(QFileInfo(mimeAppsListPath()).isSymLink());
    EXPECT_EQ(mvtest::readAll(real), "[Default Applications]\nimage/png=mirravelnock.desktop;\n");
    EXPECT_EQ(mvtest::modeOf(real), 0600u);
}

} // namespace
