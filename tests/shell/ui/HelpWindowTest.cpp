// The Help menu's windows driven as a user would: the built-in manual, its contents, the keys;
// the About box with the real version, lines that are not cut, the keys that close it.
#include "shell/ui/HelpWindow.h"

#include "shell/Version.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/MainMenus.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

#include <algorithm>
#include <memory>
#include <vector>

namespace mv::shell {
namespace {

// Every visible command of a menu tree, menus included, depth first.
void collectActions(const QList<QAction*>& from, std::vector<QAction*>& into)
{
    for (QAction* action : from) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        into.push_back(action);
        if (action->menu())
            collectActions(action->menu()->actions(), into);
    }
}

// The heading at the top of the text pane, as the user sees it.
std::string topHeading(const HelpWindow& window)
{
    QTextBrowser* text = window.textView();
    const int margin = int(text->document()->documentMargin());
    return text->cursorForPosition(QPoint(margin + 2, margin + 2)).block().text().toStdString();
}

QStringList headingsOf(const QString& markdown, const QString& marker)
{
    QStringList headings;
    for (const QString& line : markdown.split(QLatin1Char('\n')))
        if (line.startsWith(marker))
            headings << line.mid(marker.size()).trimmed();
    return headings;
}

// A manual that cannot be found opens nothing and says so.
TEST(HelpWindow, BuiltInManualDescribesEveryMenuCommandWithItsShortcutAndAMissingOneSaysSo)
{
    const QString manual = HelpWindow::loadManual().value_or(QString());
    ASSERT_FALSE(manual.isEmpty()) << "the manual is missing from the resource";
    {
        HelpWindow::setManualPathForTesting(QStringLiteral("/nonexistent/manual.md"));
        QWidget owner;
        EXPECT_FALSE(showManual(&owner));
        EXPECT_TRUE(owner.findChildren<HelpWindow*>().isEmpty());
        HelpWindow::setManualPathForTesting(QString());
        const std::unique_ptr<QMessageBox> box(makeHelpMissingBox(&owner));
        EXPECT_EQ(box->text().toStdString(), "Can't find WinHelp");
    }

    // The captions come from the real menus, so a renamed or added command fails here until
    // the manual follows it.
    QMainWindow window;
    MainMenus menus(&window);
    std::vector<QAction*> actions;
    collectActions(window.menuBar()->actions(), actions);
    collectActions(menus.MenuPopMenu->actions(), actions);
    ASSERT_GE(actions.size(), 50u);

    const QStringList lines = manual.split(QLatin1Char('\n'));
    for (const QAction* action : actions) {
        const QString caption = action->text().remove(QLatin1Char('&'));
        EXPECT_TRUE(manual.contains(caption)) << caption.toStdString();
        if (action->shortcut().isEmpty())
            continue;
        // A wrong shortcut is as bad as a missing one: it has to sit on its command's row.
        const QString row = QStringLiteral("| %1 | %2 |")
                                .arg(caption, action->shortcut().toString(QKeySequence::PortableText));
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) {
            return l.startsWith(row);
        })) << row.toStdString();
    }

    // The encrypted-name rule with its examples, and the one warning nobody may miss.
    for (const char* text :
         {"photo_jpg.mv$", "arc.tar_gz.mv$", "readme.mv%", "file_my.ext", "cannot be recovered"})
        EXPECT_TRUE(manual.contains(QLatin1String(text))) << text;
}

TEST(HelpWindow, OpensOnScreenWithTheHeadingsAndKeyboardAloneReadsTheManualAndClosesIt)
{
    QWidget owner;
    ASSERT_TRUE(showManual(&owner));
    auto* window = owner.findChild<HelpWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTreeWidget* tree = window->contentsTree();
    QTextBrowser* text = window->textView();
    EXPECT_TRUE(tree->hasFocus());
    // Its width within the screen, at two scales, is the German window test's.
    EXPECT_LE(window->height(), window->screen()->availableGeometry().height());
    EXPECT_GT(text->width(), tree->width());

    // The contents hold the manual's chapters and, below each, its sections.
    const QString manual = HelpWindow::loadManual().value_or(QString());
    const QStringList chapters = headingsOf(manual, QStringLiteral("# "));
    ASSERT_GE(chapters.size(), 10);
    ASSERT_EQ(tree->topLevelItemCount(), chapters.size());
    QStringList treeSections;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        EXPECT_EQ(tree->topLevelItem(i)->text(0).toStdString(), chapters[i].toStdString());
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j)
            treeSections << tree->topLevelItem(i)->child(j)->text(0);
    }
    EXPECT_EQ(treeSections, headingsOf(manual, QStringLiteral("## ")));

    // Choosing a heading brings it to the top.
    const QList<QTreeWidgetItem*> found =
        tree->findItems(QStringLiteral("Encrypted names"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    tree->setCurrentItem(found.front());
    EXPECT_EQ(topHeading(*window), "Encrypted names");

    // Down arrow in the contents walks the headings and the text follows.
    tree->setCurrentItem(tree->topLevelItem(0));
    QTest::keyClick(tree, Qt::Key_Down);
    const std::string second = tree->currentItem()->text(0).toStdString();
    EXPECT_NE(second, chapters[0].toStdString());
    EXPECT_EQ(topHeading(*window), second);

    // Enter hands the keys to the text, where Page Down reads on.
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(text->hasFocus());
    const int before = text->verticalScrollBar()->value();
    QTest::keyClick(text, Qt::Key_PageDown);
    EXPECT_GT(text->verticalScrollBar()->value(), before);

    // Tab goes back to the contents instead of being typed into the text.
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_TRUE(tree->hasFocus());

    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // F1 brings the same window back, F1 again closes it.
    ASSERT_TRUE(showManual(&owner));
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->contentsTree(), Qt::Key_F1);
    EXPECT_FALSE(window->isVisible());
}

// Its lines uncut and its width within the screen are the German window test's, at two scales.
TEST(AboutDialog, ShowsTheRealVersion)
{
    // A version left as "@PROJECT_VERSION_MAJOR@..." would pass a plain comparison.
    const QString version = QString::fromLatin1(kVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << kVersion;
    AboutDialog about;
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("32 bit --- Version " + version)) << texts.join(u'|').toStdString();
}

} // namespace
} // namespace mv::shell
