// Files as drag-and-drop data: full paths in list order out of the file list, and exactly one
// local, plain picture file into the picture area.
#include "browser/FileDragDrop.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

QString dropOf(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << (p.contains(QLatin1Char(':')) ? QUrl(p) : QUrl::fromLocalFile(p));
    QMimeData data;
    data.setUrls(urls);
    return droppedPicture(data);
}

TEST(FileDragDrop, TheDragNamesFilesOfTheFolderAndTheAreaTakesOnePlainPictureOnly)
{
    const QList<QUrl> dragged =
        fileDragData(QStringLiteral("/pics/"), {QStringLiteral("b #2.png"), QStringLiteral("a.txt")})->urls();
    EXPECT_EQ(dragged, (QList<QUrl> {QUrl::fromLocalFile(QStringLiteral("/pics/b #2.png")),
                                     QUrl::fromLocalFile(QStringLiteral("/pics/a.txt"))}));

    EXPECT_EQ(dropOf({QStringLiteral("/pics/CAT.JPEG")}), QStringLiteral("/pics/CAT.JPEG"));
    for (const QStringList& refused :
         {QStringList {QStringLiteral("/pics/cat.gif"), QStringLiteral("/pics/dog.gif")},
          QStringList {QStringLiteral("/pics/notes.txt")}, QStringList {QStringLiteral("/pics/cat_gif.mv$")},
          QStringList {QStringLiteral("/pics/cat.mv%")},
          QStringList {QStringLiteral("https://example.org/cat.gif")}, QStringList {}})
        EXPECT_EQ(dropOf(refused), QString()) << refused.join(QLatin1Char(' ')).toStdString();
}

} // namespace
