// The About box as the user meets it: its lines, its size, and the keys that close it.
#include "shell/ui/AboutDialog.h"

#include "shell/Version.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

namespace mv::shell {
namespace {

TEST(AboutDialog, ShowsTheProductLinesWithTheRealVersionUncutAndClosesOnEnterAndEsc)
{
    // A version left as "@PROJECT_VERSION_MAJOR@..." would pass a plain comparison below.
    const QString version = QString::fromLatin1(kVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << kVersion;

    AboutDialog byEnter;
    EXPECT_EQ(byEnter.windowTitle().toStdString(), "About Mirravelnock!");
    QStringList texts;
    for (const QLabel* label : byEnter.findChildren<QLabel*>())
        texts << label->text();
    for (const QString& line : {QStringLiteral("Mirravelnock!"), "32 bit --- Version " + version,
                                QStringLiteral("Windows 95/98 and NT4/5"),
                                QStringLiteral("Bringing security to your Windows Data and Programs with "
                                               "state of the art encryption")})
        EXPECT_TRUE(texts.contains(line)) << line.toStdString();
    EXPECT_GE(texts.filter(QStringLiteral("example.com")).size(), 2) << "web and e-mail contact lines";

    byEnter.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&byEnter));
    for (const QLabel* label : byEnter.findChildren<QLabel*>()) {
        const bool wraps = label->wordWrap();
        EXPECT_GE(label->height(), wraps ? label->heightForWidth(label->width()) : label->sizeHint().height())
            << label->text().toStdString();
        EXPECT_TRUE(wraps || label->width() >= label->sizeHint().width()) << label->text().toStdString();
    }
    EXPECT_LE(byEnter.width(), byEnter.screen()->availableGeometry().width());
    EXPECT_TRUE(byEnter.findChild<QPushButton*>(QStringLiteral("butOK"))->isDefault());
    QTest::keyClick(&byEnter, Qt::Key_Return);
    EXPECT_FALSE(byEnter.isVisible());
    EXPECT_EQ(byEnter.result(), QDialog::Accepted);

    AboutDialog byEsc;
    byEsc.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&byEsc));
    QTest::keyClick(&byEsc, Qt::Key_Escape);
    EXPECT_FALSE(byEsc.isVisible());
}

} // namespace
} // namespace mv::shell
