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

QStringList labelTexts(const QDialog& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

TEST(AboutDialog, ShowsTheProductLinesWithTheRealVersion)
{
    // A version left as "@PROJECT_VERSION_MAJOR@..." would pass a plain comparison below.
    const QString version = QString::fromLatin1(kVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << kVersion;

    AboutDialog dialog;
    EXPECT_EQ(dialog.windowTitle().toStdString(), "About Mirravelnock!");
    EXPECT_TRUE(dialog.isModal());
    const QStringList texts = labelTexts(dialog);
    for (const QString& line :
         {QStringLiteral("Mirravelnock!"), QStringLiteral("32 bit --- Version ") + version,
          QStringLiteral("Windows 95/98 and NT4/5"),
          QStringLiteral(
              "Bringing security to your Windows Data and Programs with state of the art encryption")})
        EXPECT_TRUE(texts.contains(line)) << line.toStdString();
    EXPECT_TRUE(texts.filter(QStringLiteral("example.com")).size() >= 2) << "web and e-mail contact lines";

    // The name stands out: Arial (as fontconfig substitutes it) and larger than the text.
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text() != QStringLiteral("Mirravelnock!"))
            continue;
        EXPECT_EQ(label->font().family().toStdString(), "Arial");
        EXPECT_GT(label->font().pointSizeF(), dialog.font().pointSizeF() * 1.5);
    }
}

TEST(AboutDialog, ShowsEveryLineUncutAndClosesOnEnterAndEsc)
{
    AboutDialog byEnter;
    byEnter.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&byEnter));
    for (const QLabel* label : byEnter.findChildren<QLabel*>()) {
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_GE(label->height(), needed) << label->text().toStdString();
        if (!label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
    EXPECT_LE(byEnter.width(), byEnter.screen()->availableGeometry().width());

    auto* ok = byEnter.findChild<QPushButton*>(QStringLiteral("butOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
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
