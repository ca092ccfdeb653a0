#include "HelpWindow.h"

#include "widgets/Centering.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

#include <algorithm>

// The manual is compiled into the static mvui library; naming its initializer here makes the
// linker keep it (Q_INIT_RESOURCE has to be used outside any namespace).
static void initHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace mv::shell {

namespace {

constexpr int kBlockRole = Qt::UserRole;
const char* const kBuiltInManual = ":/help/manual.md";

QString& manualPathOverride()
{
    static QString path;
    return path;
}

} // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Mirravelnock! Help"));

    contents_ = new QTreeWidget;
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    contents_->header()->setStretchLastSection(true);
    contents_->setAccessibleName(tr("Contents"));

    text_ = new QTextBrowser;
    text_->setOpenExternalLinks(true);
    // Tab must leave the text for the contents, as in every other two-pane help viewer.
    text_->setTabChangesFocus(true);
    text_->setAccessibleName(tr("Manual"));

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(contents_);
    splitter_->addWidget(text_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter_);
    setTabOrder(contents_, text_);

    connect(contents_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showHeading(current); });
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        showHeading(item);
        text_->setFocus(Qt::OtherFocusReason);
    });

    for (const QKeySequence& key : {QKeySequence(QKeySequence::HelpContents), QKeySequence(Qt::Key_Escape)}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }

    fitToScreen();
}

void HelpWindow::setManual(const QString& markdown)
{
    text_->setMarkdown(markdown);
    // Command examples wrap like the rest: in a narrow window (or at a large scale) a sideways
    // scroll bar for one long line would cost every other line its right edge.
    QTextCursor cursor(text_->document());
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().nonBreakableLines())
            continue;
        QTextBlockFormat format;
        format.setNonBreakableLines(false);
        cursor.setPosition(block.position());
        cursor.mergeBlockFormat(format);
    }
    buildContents();
}

void HelpWindow::buildContents()
{
    const QSignalBlocker blocker(contents_);
    contents_->clear();
    QTreeWidgetItem* chapter = nullptr;
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2)
            continue;
        QTreeWidgetItem* item = nullptr;
        if (level == 1 || !chapter) {
            item = new QTreeWidgetItem(contents_);
            chapter = item;
        } else {
            item = new QTreeWidgetItem(chapter);
        }
        item->setText(0, block.text());
        item->setData(0, kBlockRole, block.blockNumber());
    }
    contents_->expandAll();
    if (contents_->topLevelItemCount() > 0)
        contents_->setCurrentItem(contents_->topLevelItem(0));

    // Wide enough for the longest heading, unless that would starve the text.
    const auto* view = static_cast<const QAbstractItemView*>(contents_); // QTreeView hides it
    const int wanted = view->sizeHintForColumn(0) + 2 * contents_->frameWidth() +
                       contents_->verticalScrollBar()->sizeHint().width() + fontMetrics().averageCharWidth();
    const int contentsWidth = std::min(wanted, width() / 3);
    splitter_->setSizes({contentsWidth, width() - contentsWidth});
}

void HelpWindow::showHeading(QTreeWidgetItem* item)
{
    if (!item)
        return;
    QTextDocument* document = text_->document();
    const QTextBlock block = document->findBlockByNumber(item->data(0, kBlockRole).toInt());
    if (!block.isValid())
        return;
    // The cursor goes there too, so the keys of the text pane carry on from the heading.
    text_->setTextCursor(QTextCursor(block));
    const QRectF rect = document->documentLayout()->blockBoundingRect(block);
    text_->verticalScrollBar()->setValue(qRound(rect.top()));
}

void HelpWindow::fitToScreen()
{
    // About 120 characters of text beside the contents, 46 lines high, never larger than the
    // screen's free area: that also holds when the desktop scales everything up.
    const QFontMetrics metrics = fontMetrics();
    QSize wanted(metrics.averageCharWidth() * 170, metrics.lineSpacing() * 46);
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen) {
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        wanted = wanted.boundedTo(room);
    }
    resize(wanted);
}

std::optional<QString> HelpWindow::loadManual()
{
    initHelpResource();
    const QString& testPath = manualPathOverride();
    QFile file(testPath.isEmpty() ? QString::fromLatin1(kBuiltInManual) : testPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

void HelpWindow::setManualPathForTesting(const QString& path)
{
    manualPathOverride() = path;
}

bool showManual(QWidget* owner)
{
    HelpWindow* window =
        owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) {
        const std::optional<QString> manual = HelpWindow::loadManual();
        if (!manual)
            return false;
        window = new HelpWindow(owner);
        // Without an owner nobody else would ever delete it.
        if (!owner)
            window->setAttribute(Qt::WA_DeleteOnClose);
        window->setManual(*manual);
        // The first time it opens over the window that asked for it; later where the user left it.
        widgets::CenterOnOwner(window, owner);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->contentsTree()->setFocus(Qt::OtherFocusReason);
    return true;
}

QMessageBox* makeHelpMissingBox(QWidget* owner)
{
    auto* box = new QMessageBox(
        QMessageBox::Critical, QCoreApplication::translate("mv::shell::HelpWindow", "Mirravelnock! Help"),
        QCoreApplication::translate("mv::shell::HelpWindow", "Can't find WinHelp"), QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

void showHelpMissing(QWidget* owner)
{
    makeHelpMissingBox(owner)->exec();
}

} // namespace mv::shell
