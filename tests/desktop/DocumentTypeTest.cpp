#include "desktop/DocumentType.h"
#include "AssociationFixture.h"
#include "desktop/AssociationTable.h"
#include "desktop/DocumentTypeFiles.h"

#include <mvengine/engine.h>

#include <QFileInfo>
#include <QTemporaryDir>

using namespace mv::desktop;
using namespace mv::fileutil;

namespace {

class DocumentTypeTest : public mvtest::AssociationFixture {
protected:
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

TEST_F(DocumentTypeTest, RegistersTheEncryptedFilesWithTheDesktop)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const RegisterOutcome first = RegisterDocumentType(exe);
    ASSERT_TRUE(first.status) << resultText(first.status).toStdString();
    EXPECT_TRUE(first.entryChanged && first.packageChanged);
    EXPECT_TRUE(first.toolProblems.isEmpty()) << first.toolProblems.join("; ").toStdString();

    const QString entry = userApplicationsDir() + "/mirravelnock.desktop";
    const QString entryText = QString::fromUtf8(mvtest::readAll(entry));
    EXPECT_TRUE(entryText.contains("\nExec=" + exe + " /F=%f\n"));
    EXPECT_TRUE(entryText.contains("\nMimeType=application/x-mirravelnock-document;image/x-pfs-art;"));
    if (have("desktop-file-validate")) {
        EXPECT_EQ(ask("desktop-file-validate", {entry}), "");
    }

    // The desktop's own reading: a file the engine encrypted, whatever its name, and an
    // encrypted name whatever its content.
    if (!have("update-mime-database"))
        GTEST_SKIP() << "update-mime-database (shared-mime-info) is not installed";
    EXPECT_TRUE(first.toolsRun.contains("update-mime-database"));
    EXPECT_TRUE(QFileInfo::exists(userMimeDir() + "/application/x-mirravelnock-document.xml"));
    QTemporaryDir dir;
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("plain"), QByteArray(80, '\1')));
    ASSERT_EQ(dbac(QFile::encodeName(dir.filePath("plain")).constData(),
                   QFile::encodeName(dir.filePath("holiday")).constData(), "key"),
              1);
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("photo_jpg.mv$"), "not yet"));
    ASSERT_TRUE(mvtest::writeAll(dir.filePath("notes.mv%"), "not yet"));
    if (have("gio")) {
        for (const char* name : {"holiday", "photo_jpg.mv$", "notes.mv%"}) {
            EXPECT_TRUE(ask("gio", {"info", "-a", "standard::content-type", dir.filePath(name)})
                            .endsWith("standard::content-type: application/x-mirravelnock-document"))
                << name;
        }
    }

    // Everything in place: nothing is written and no tool runs.
    const RegisterOutcome again = RegisterDocumentType(exe);
    ASSERT_TRUE(again.status);
    EXPECT_FALSE(again.entryChanged || again.packageChanged);
    EXPECT_TRUE(again.toolsRun.isEmpty());
}

TEST_F(DocumentTypeTest, PictureTypesTheSystemLacksComeFromOurPackage)
{
    const QString package = userMimeDir() + "/packages/mirravelnock.xml";
    QTemporaryDir bareSystem;
    qputenv("XDG_DATA_DIRS", bareSystem.path().toLocal8Bit());
    ASSERT_TRUE(RegisterDocumentType("/usr/bin/mirravelnock").status);
    const QByteArray bare = mvtest::readAll(package);
    EXPECT_TRUE(bare.contains("<mime-type type=\"image/gif\">"));
    EXPECT_TRUE(bare.contains("<mime-type type=\"image/x-pictor\">"));

    // A system that knows GIF pictures keeps its own description.
    QDir(bareSystem.path()).mkpath("mime/image");
    ASSERT_TRUE(mvtest::writeAll(bareSystem.filePath("mime/image/gif.xml"), "<mime-type/>"));
    ASSERT_TRUE(RegisterDocumentType("/usr/bin/mirravelnock").status);
    const QByteArray known = mvtest::readAll(package);
    EXPECT_FALSE(known.contains("<mime-type type=\"image/gif\">"));
    EXPECT_TRUE(known.contains("<mime-type type=\"image/x-pictor\">"));
}

TEST(DocumentTypeFilesTest, ExecLinesQuoteWhatDesktopEntriesReserve)
{
    EXPECT_EQ(execLine("/usr/bin/mirravelnock"), "/usr/bin/mirravelnock /F=%f");
    // A blank quotes the path; "%" doubles; inside quotes "$" and "\" are escaped, and every
    // "\" is escaped once more as in any string value.
    EXPECT_EQ(execLine("/opt/My Apps/100%/mv"), "\"/opt/My Apps/100%%/mv\" /F=%f");
    EXPECT_EQ(execLine("/opt/a$b\\c/mv"), "\"/opt/a\\\\$b\\\\\\\\c/mv\" /F=%f");
}

TEST(DocumentTypeFilesTest, TheInstalledFilesSayWhatTheProgramWrites)
{
    EXPECT_EQ(mvtest::readAll(MV_SOURCE_DIR "/data/mirravelnock.desktop").toStdString(),
              desktopEntryText("mirravelnock").toStdString());
    EXPECT_EQ(mvtest::readAll(MV_SOURCE_DIR "/data/mirravelnock.xml").toStdString(),
              mimePackageText(ownPictureMimeTypes()).toStdString());
}

} // namespace
