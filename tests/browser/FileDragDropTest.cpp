// Files as drag-and-drop data: the file list's drag carries full paths in list order, and the
// picture area takes exactly one local picture file that is not encrypted.
#include "browser/FileDragDrop.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

QList<QUrl> files(std::initializer_list<const char*> paths)
{
    QList<QUrl> urls;
    for (const char* p : paths)
        urls << QUrl::fromLocalFile(QString::fromUtf8(p));
    return urls;
}

QString dropOf(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    return droppedPicture(data);
}

TEST(FileDragDrop, TheDragListsEveryNameAsAFileOfTheFolderInListOrder)
{
    // Names a file manager could misread if they were not written as proper file URLs.
    const QStringList names {QStringLiteral("b 2#.png"), QStringLiteral("a%20.txt"),
                             QStringLiteral("ä?.mv$")};
    for (const QString& folder : {QStringLiteral("/pics"), QStringLiteral("/pics/")}) {
        const std::unique_ptr<QMimeData> data = fileDragData(folder, names);
        ASSERT_TRUE(data->hasFormat(QStringLiteral("text/uri-list")));
        QStringList paths;
        for (const QUrl& url : data->urls())
            paths << url.toLocalFile();
        EXPECT_EQ(paths, (QStringList {QStringLiteral("/pics/b 2#.png"), QStringLiteral("/pics/a%20.txt"),
                                       QStringLiteral("/pics/ä?.mv$")}));
    }
    EXPECT_EQ(fileDragData(QStringLiteral("/"), {QStringLiteral("x.gif")})->urls(), files({"/x.gif"}));
}

TEST(FileDragDrop, OnlyOnePlainPictureFileIsTakenByThePictureArea)
{
    EXPECT_EQ(dropOf(files({"/pics/cat.gif"})), QStringLiteral("/pics/cat.gif"));
    EXPECT_EQ(dropOf(files({"/pics/CAT.JPEG"})), QStringLiteral("/pics/CAT.JPEG"));

    EXPECT_EQ(dropOf(files({"/pics/cat.gif", "/pics/dog.gif"})), QString());
    EXPECT_EQ(dropOf(files({"/pics/notes.txt"})), QString());
    EXPECT_EQ(dropOf(files({"/pics/cat_gif.mv$"})), QString());
    EXPECT_EQ(dropOf(files({"/pics/cat.mv%"})), QString());
    EXPECT_EQ(dropOf({QUrl(QStringLiteral("https://example.org/cat.gif"))}), QString());
    EXPECT_EQ(dropOf({}), QString());
    QMimeData text;
    text.setText(QStringLiteral("/pics/cat.gif"));
    EXPECT_EQ(droppedPicture(text), QString());
}

} // namespace
