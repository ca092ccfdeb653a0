#include "shell/ui/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace mv::shell {

namespace {

QAction* item(QMenu* menu, const QString& caption, const QKeySequence& key = {})
{
    QAction* a = menu->addAction(caption);
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

QAction* toggle(QMenu* menu, const QString& caption, const QKeySequence& key = {})
{
    QAction* a = item(menu, caption, key);
    a->setCheckable(true);
    return a;
}

// A one-of-many array of items, the first `checked` item marked.
template <std::size_t N>
void choice(QMenu* menu, std::array<QAction*, N>& items, const std::array<QString, N>& captions, int checked)
{
    auto* group = new QActionGroup(menu);
    for (std::size_t i = 0; i < N; ++i) {
        items[i] = toggle(menu, captions[i]);
        items[i]->setChecked(int(i) == checked);
        group->addAction(items[i]);
    }
}

} // namespace

MainMenus::MainMenus(QMainWindow* window) : QObject(window)
{
    QMenuBar* bar = window->menuBar();
    bar->addMenu(buildFile(window));
    bar->addMenu(buildEdit(window));
    bar->addMenu(buildImage(window));
    bar->addMenu(buildZoom(window));

    MenuQuickList = new QMenu(tr("&Secured Access"), window);
    MenuSetupQuick = item(MenuQuickList, tr("&Setup Secured Access List"));
    MenuQuickItems.push_back(MenuQuickList->addSeparator());
    MenuQuickItems[0]->setVisible(false);
    bar->addMenu(MenuQuickList);

    bar->addMenu(buildHelp(window));
    buildPopMenu(window);
}

QMenu* MainMenus::buildFile(QMainWindow* window)
{
    auto* m = new QMenu(tr("&File"), window);
    MenuEncrypt = item(m, tr("&Encrypt..."), QKeySequence(Qt::CTRL | Qt::Key_E));
    MenuDecrypt = item(m, tr("&Decrypt..."), QKeySequence(Qt::CTRL | Qt::Key_D));
    MenuDelete = item(m, tr("Delete &Selected..."), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    m->addSeparator();
    mnuThumb = item(m, tr("View &Thumbnails"), QKeySequence(Qt::CTRL | Qt::Key_T));
    m->addSeparator();
    MenuRefresh = item(m, tr("&Refresh"), QKeySequence(Qt::Key_F5));
    MenuAutoHide = toggle(m, tr("&Auto-Hide"), QKeySequence(Qt::CTRL | Qt::Key_H));
    MenuNewInstance = item(m, tr("&New Instance"), QKeySequence(Qt::CTRL | Qt::Key_N));
    m->addSeparator();
    mnuSafeDelete = toggle(m, tr("Safe De&lete"));
    mnuForgetOnLock = toggle(m, tr("&Forget keys when the session locks or sleeps"));
    mnuForgetOnLock->setChecked(true);
    m->addSeparator();
    MenuExit = item(m, tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Delete Selected is the delete command's to enable: files selected and no delete running.
    MenuDelete->setEnabled(false);
    return m;
}

QMenu* MainMenus::buildEdit(QMainWindow* window)
{
    auto* m = new QMenu(tr("&Edit"), window);
    MenuCpoy = item(m, tr("&Copy to Clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C));
    MenuClear = item(m, tr("Clear Viewing Area"), QKeySequence(Qt::Key_Delete));
    m->addSeparator();
    mnuClearKeys = item(m, tr("Clear Passwords"), QKeySequence(Qt::Key_F8));
    // Clear Passwords starts disabled: there is nothing to clear before a key is typed.
    mnuClearKeys->setEnabled(false);
    return m;
}

QMenu* MainMenus::buildImage(QMainWindow* window)
{
    auto* m = new QMenu(tr("&Image"), window);
    QMenu* dithering = m->addMenu(tr("&Dithering..."));
    choice(dithering, MenuDither, {tr("&No Dithering"), tr("&Dither Always"), tr("Dither Extra Colors")}, 0);

    QMenu* jpeg = m->addMenu(tr("&JPEG Options..."));
    QMenu* dct = jpeg->addMenu(tr("DCT Method..."));
    choice(dct, MenuMethodDCT, {tr("&Slow Integer"), tr("&Fast Integer"), tr("Floating &Point")}, 1);
    QMenu* jpegDither = jpeg->addMenu(tr("Dithering Method"));
    choice(jpegDither, MenuMethodDither, {tr("&None"), tr("&Ordered"), tr("&Floyd-Steinberg")}, 0);
    MenuFancyJPEG = toggle(jpeg, tr("&Fancy Upsampling"));
    MenuQuantizeJPEG = toggle(jpeg, tr("&Two Pass Quantize"));

    QMenu* thumbSize = m->addMenu(tr("&Thumbnail Size..."));
    // The main window checks the stored size as it connects the items.
    choice(thumbSize, mnuTNValue,
           {QStringLiteral("60"), QStringLiteral("80"), QStringLiteral("100"), QStringLiteral("120"),
            QStringLiteral("140"), QStringLiteral("160"), QStringLiteral("180"), QStringLiteral("200")},
           -1);
    mnuAssociation = item(m, tr("File &Association..."));
    return m;
}

QMenu* MainMenus::buildZoom(QMainWindow* window)
{
    auto* m = new QMenu(tr("&Zoom"), window);
    MenuZoom = m;
    choice(m, MenuZoomLevel,
           {tr("&Best Fit"), tr("25%"), tr("50%"), tr("75%"), tr("100%"), tr("125%"), tr("150%"), tr("175%"),
            tr("200%"), tr("300%"), tr("400%"), tr("500%")},
           4);
    return m;
}

QMenu* MainMenus::buildHelp(QMainWindow* window)
{
    auto* m = new QMenu(tr("&Help"), window);
    MenuContents = item(m, tr("&Contents"), QKeySequence(Qt::Key_F1));
    QMenu* browse = m->addMenu(tr("Browse to..."));
    mnuHomePage = item(browse, tr("&Home Page"));
    m->addSeparator();
    MenuAbout = item(m, tr("&About Mirravelnock!"));
    return m;
}

void MainMenus::buildPopMenu(QMainWindow* window)
{
    MenuPopMenu = new QMenu(QStringLiteral("PopMenu"), window);
    MenuUnload = item(MenuPopMenu, tr("Unload Mirravelnock!"));
    MenuCancel = item(MenuPopMenu, tr("Cancel Menu"));
    MenuPopItems.push_back(MenuPopMenu->addSeparator());
    MenuPopItems[0]->setVisible(false);
}

int MainMenus::checkedZoomIndex() const
{
    for (std::size_t i = 0; i < MenuZoomLevel.size(); ++i)
        if (MenuZoomLevel[i]->isChecked())
            return int(i);
    return 12;
}

} // namespace mv::shell
