// The program's place on the desktop: its document type registered, and the picture types it
// is the default for, read back from mimeapps.list and by the desktop's own tools.
#include "desktop/FileAssociation.h"
#include "desktop/AssociationTable.h"
#include "desktop/DesktopFolders.h"
#include "desktop/DocumentType.h"
#include "desktop/DocumentTypeFiles.h"
#include "desktop/MimeAppsList.h"
#include "fileutil/TestFiles.h"
#include "shell/AssociationStore.h"
#include "shell/Registry.h"

#include <mvengine/engine.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mv::desktop;
using namespace mv::fileutil;
using mv::shell::AssociationStore;
using mv::shell::GetRegValue;
using mv::shell::HKEY_CLASSES_ROOT;

namespace {

// The user's desktop folders and settings store, emptied before each test, and the desktop's own
// tools asked what they read from them.
class AssociationFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(mimeAppsListPath());
        QDir(mimeAppsListPath()).removeRecursively();
        QFile::remove(mv::shell::hiveFilePath(HKEY_CLASSES_ROOT));
        QDir(userApplicationsDir()).removeRecursively();
        QDir(userMimeDir()).removeRecursively();
        QDir().mkpath(xdgConfigHome());
    }

    // The output of a desktop tool, trimmed; empty when it is not installed.
    static QString ask(const QString& tool, const QStringList& args)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return {};
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static bool have(const QString& tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }
};

// As a GNOME session leaves it, edited by hand: comments, CRLF on one line, blanks around "="
// on two, other programs' entries in both groups, and a group of a later name.
const QByteArray kDesktopsFile = "# written by the desktop\n"
                                 "[Default Applications]\n"
                                 "text/plain=org.gnome.TextEditor.desktop\n"
                                 "image/gif = org.gnome.eog.desktop;org.gimp.GIMP.desktop;\r\n"
                                 "x-scheme-handler/https=firefox-esr.desktop\n"
                                 "\n"
                                 "[Added Associations]\n"
                                 "image/gif =\torg.gnome.eog.desktop;\n"
                                 "image/x-pcx=gimp.desktop;\n";

AssociationBoxes boxes(std::initializer_list<int> checked)
{
    AssociationBoxes b {};
    for (int i : checked)
        b[size_t(i)] = true;
    return b;
}

class FileAssociationTest : public AssociationFixture {};

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
    // Both types are associated with the program too: its desktop entry names neither.
    ASSERT_TRUE(associate(boxes({6, 14}), store));
    const QByteArray attached = mvtest::readAll(mimeAppsListPath());
    for (const char* line :
         {"\nimage/gif = mirravelnock.desktop;\r\n", "\nimage/vnd.zbrush.pcx=mirravelnock.desktop;\n",
          "\nimage/gif =\tmirravelnock.desktop;org.gnome.eog.desktop;\n"})
        EXPECT_TRUE(attached.contains(line)) << line;
    EXPECT_EQ(MimeAppsList(attached).value(MimeAppsList::kAddedAssociations, "image/vnd.zbrush.pcx"),
              "mirravelnock.desktop;");
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"),
              "org.gnome.eog.desktop;org.gimp.GIMP.desktop;");
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/vnd.zbrush.pcx", "mv.bak"), "");
    EXPECT_EQ(boxes({6, 14}), associatedBoxes());
    if (have("xdg-mime")) {
        EXPECT_EQ(ask("xdg-mime", {"query", "default", "image/vnd.zbrush.pcx"}), "mirravelnock.desktop");
    }

    ASSERT_TRUE(associate(boxes({}), store));
    EXPECT_EQ(mvtest::readAll(mimeAppsListPath()), kDesktopsFile);
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"), "");
    EXPECT_EQ(boxes({}), associatedBoxes());
    if (!have("xdg-mime"))
        GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed: the desktop's reading was not checked";
}

TEST_F(FileAssociationTest, BoxesThatShareATypeOpenTogetherAndBoxesAsTheyAreWriteNothing)
{
    AssociationStore store;
    // BMP alone gives image/bmp, which DIB pictures have too; RAS takes both raster types.
    ASSERT_TRUE(associate(boxes({1, 17}), store));
    EXPECT_EQ(associatedBoxes(), boxes({1, 3, 17}));
    EXPECT_EQ(MimeAppsList(mvtest::readAll(mimeAppsListPath()))
                  .value(MimeAppsList::kDefaultApplications, "image/x-sun-raster"),
              "mirravelnock.desktop;");
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

// A folder where the file should be can't be read, so nothing may replace it; a file the user
// keeps as a link elsewhere stays a link, with its mode.
TEST_F(FileAssociationTest, AnUnreadableMimeappsListIsNeverWrittenOverAndALinkedOneStaysALink)
{
    AssociationStore store;
    ASSERT_TRUE(QDir().mkpath(mimeAppsListPath()));
    EXPECT_FALSE(associate(boxes({6}), store));
    EXPECT_TRUE(QFileInfo(mimeAppsListPath()).isDir());
    EXPECT_EQ(GetRegValue(HKEY_CLASSES_ROOT, "image/gif", "mv.bak"), "");

    ASSERT_TRUE(QDir(mimeAppsListPath()).removeRecursively());
    const QString real = xdgConfigHome() + "/dotfiles/mimeapps.list";
    QDir().mkpath(xdgConfigHome() + "/dotfiles");
    ASSERT_TRUE(mvtest::writeAll(real, "[Default Applications]\n"));
    ASSERT_EQ(::chmod(real.toLocal8Bit(), 0600), 0);
    ASSERT_TRUE(QFile::link(real, mimeAppsListPath()));
    ASSERT_TRUE(associate(boxes({16}), store));
    EXPECT_TRUE(QFileInfo(mimeAppsListPath()).isSymLink());
    EXPECT_EQ(mvtest::readAll(real), "[Default Applications]\nimage/png=mirravelnock.desktop;\n\n"
                                     "[Added Associations]\nimage/png=mirravelnock.desktop;\n");
    EXPECT_EQ(mvtest::modeOf(real), 0600u);
}

class DocumentTypeTest : public AssociationFixture {
protected:
    // What the desktop would start for `type`, as xdg-mime and GLib's gio read the user's files.
    static QStringList startedFor(const QString& type)
    {
        const QString gio = ask("gio", {"mime", type}).section('\n', 0, 0);
        return {ask("xdg-mime", {"query", "default", type}),
                gio.startsWith("Default application") ? gio.section(": ", -1) : QString()};
    }

    void TearDown() override
    {
        if (systemDirs_.isNull())
            qunsetenv("XDG_DATA_DIRS");
        else
            qputenv("XDG_DATA_DIRS", systemDirs_);
    }

private:
    const QByteArray systemDirs_ = qgetenv("XDG_DATA_DIRS");
};

// The first start registers the encrypted files' type, which the desktop then reads. Earlier
// versions named every picture type in the user's desktop entry and had
// update-desktop-database index the user's applications, which made the program the default
// viewer at its first start and kept it so. A start now gives those types back to the system's
// viewer, except the one the user gave the program, and keeps other programs' indexed lines.
TEST_F(DocumentTypeTest, AStartTakesNoPictureTypeAndGivesBackThoseEarlierVersionsTook)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString apps = userApplicationsDir(), cache = apps + "/mimeinfo.cache";
    const RegisterOutcome first = RegisterDocumentType(exe);
    ASSERT_TRUE(first.status) << resultText(first.status).toStdString();
    EXPECT_TRUE(first.entryChanged && first.packageChanged);
    EXPECT_TRUE(first.toolProblems.isEmpty()) << first.toolProblems.join("; ").toStdString();
    const QString entry = apps + "/" + kDesktopFileName;
    const QString entryText = QString::fromUtf8(mvtest::readAll(entry));
    EXPECT_TRUE(entryText.contains("\nExec=" + exe + " /F=%f\n"));
    // The encrypted files' type alone: an entry of the user's that named picture types made the
    // program their default.
    EXPECT_TRUE(entryText.endsWith("\nMimeType=application/x-mirravelnock-document;\n"));

    if (!have("xdg-mime") || !have("gio") || !have("update-desktop-database") ||
        !have("update-mime-database"))
        GTEST_SKIP() << "xdg-utils, libglib2.0-bin, desktop-file-utils or shared-mime-info is not installed";
    EXPECT_EQ(ask("desktop-file-validate", {entry}), "");
    // The desktop's own reading: a file the engine encrypted, whatever its name, and an
    // encrypted name whatever its content.
    EXPECT_TRUE(first.toolsRun.contains("update-mime-database"));
    QTemporaryDir dir;
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("plain"), QByteArray(80, '\1')));
    ASSERT_EQ(dbac(QFile::encodeName(dir.filePath("plain")).constData(),
                   QFile::encodeName(dir.filePath("holiday")).constData(), "key"),
              1);
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("photo_jpg.mv$"), "not yet"));
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("notes.mv%"), "not yet"));
    for (const char* name : {"holiday", "photo_jpg.mv$", "notes.mv%"}) {
        EXPECT_TRUE(ask("gio", {"info", "-a", "standard::content-type", dir.filePath(name)})
                        .endsWith("standard::content-type: application/x-mirravelnock-document"))
            << name;
    }

    QTemporaryDir system;
    const auto install = [](const QString& folder, const char* name, const QByteArray& types) {
        QDir().mkpath(folder);
        ASSERT_TRUE(mvtest::writeAll(folder + "/" + name, "[Desktop Entry]\nType=Application\nName=A\n"
                                                          "Exec=/bin/true %f\nMimeType=" +
                                                              types + "\n"));
        ask("update-desktop-database", {folder});
    };
    install(system.filePath("applications"), "viewer.desktop", "image/png;image/gif;");
    qputenv("XDG_DATA_DIRS", (system.path() + ":/usr/share").toLocal8Bit());
    // A program that is there (the test itself): xdg-mime passes over entries whose program is
    // missing.
    const QStringList viewer {"viewer.desktop", "viewer.desktop"}, us {kDesktopFileName, kDesktopFileName};

    // As an earlier version left things, the user having given the program GIF pictures, a
    // program of the user's indexed in the same cache; then as one left them alone.
    for (const bool others : {true, false}) {
        ASSERT_TRUE(RegisterDocumentType(exe).status);
        EXPECT_EQ(startedFor("image/png"), viewer);
        EXPECT_EQ(startedFor(kDocumentMimeType).value(1), kDesktopFileName);
        EXPECT_FALSE(QFileInfo::exists(cache));
        ASSERT_TRUE(mvtest::writeAll(mimeAppsListPath(),
                                     "[Default Applications]\nimage/gif=mirravelnock.desktop;\n"));
        if (others)
            install(apps, "notes.desktop", "text/plain;image/gif;");
        QByteArray oldEntry = desktopEntryText(exe);
        ASSERT_TRUE(mvtest::writeAll(apps + "/" + kDesktopFileName,
                                     oldEntry.replace("document;\n", "document;image/png;image/gif;\n")));
        ask("update-desktop-database", {apps});
        ASSERT_EQ(startedFor("image/png"), us);

        const RegisterOutcome start = RegisterDocumentType(exe);
        ASSERT_TRUE(start.status && start.cacheWithdrawn) << start.toolProblems.join("; ").toStdString();
        EXPECT_EQ(startedFor("image/png"), viewer);
        EXPECT_EQ(startedFor("image/gif"), us);
        EXPECT_EQ(startedFor(kDocumentMimeType).value(1), kDesktopFileName);
        // Other programs' lines stay; a cache of the program's alone is wiped.
        EXPECT_EQ(mvtest::readAll(cache),
                  others ? "[MIME Cache]\nimage/gif=notes.desktop;\ntext/plain=notes.desktop;\n" : "");
        EXPECT_EQ(QFileInfo::exists(cache), others);
        QFile::remove(apps + "/notes.desktop");
        QFile::remove(cache);
    }
    // Everything in place: nothing is written and no tool runs.
    const RegisterOutcome again = RegisterDocumentType(exe);
    EXPECT_FALSE(again.entryChanged || again.packageChanged || again.listChanged || again.cacheWithdrawn);
    EXPECT_TRUE(again.toolsRun.isEmpty());
}

// The installed files say what the program writes for each user.
TEST(DocumentTypeFilesTest, ExecLinesQuoteWhatDesktopEntriesReserveAndTheInstalledFilesAgree)
{
    EXPECT_EQ(execLine("/usr/bin/mirravelnock"), "/usr/bin/mirravelnock /F=%f");
    // A blank quotes the path; "%" doubles; inside quotes "$" and "\" are escaped, and every
    // "\" is escaped once more as in any string value.
    EXPECT_EQ(execLine("/opt/My Apps/100%/mv"), "\"/opt/My Apps/100%%/mv\" /F=%f");
    EXPECT_EQ(execLine("/opt/a$b\\c/mv"), "\"/opt/a\\\\$b\\\\\\\\c/mv\" /F=%f");
    EXPECT_EQ(mvtest::readAll(MV_SOURCE_DIR "/data/mirravelnock.desktop").toStdString(),
              desktopEntryText("mirravelnock").toStdString());
    EXPECT_EQ(mvtest::readAll(MV_SOURCE_DIR "/data/mirravelnock.xml").toStdString(),
              mimePackageText(ownPictureMimeTypes()).toStdString());
}

} // namespace
