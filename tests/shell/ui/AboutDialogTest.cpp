// The About box as the user meets it: the real version, lines that are not cut, the keys that
// close it.
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

TEST(AboutDialog, ShowsTheRealVersionWithEveryLineUncutAndClosesOnEnterAndEsc)
{
    // A version left as "@PROJECT_VERSION_MAJOR@..." would pass a plain comparison.
    const QString version = QString::fromLatin1(kVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << kVersion;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        AboutDialog about;
        about.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        QStringList texts;
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            texts << label->text();
            const bool wraps = label->wordWrap();
            EXPECT_GE(label->height(),
                      wraps ? label->heightForWidth(label->width()) : label->sizeHint().height())
                << label->text().toStdString();
            EXPECT_TRUE(wraps || label->width() >= label->sizeHint().width()) << label->text().toStdString();
        }
        EXPECT_TRUE(texts.contains("32 bit --- Version " + version)) << texts.join(u'|').toStdString();
        EXPECT_LE(about.width(), about.screen()->availableGeometry().width());
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
    }
}

} // namespace
} // namespace mv::shell
