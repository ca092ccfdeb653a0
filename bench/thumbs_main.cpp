// The thumbnail grid in the real main window (offscreen), timed as a user meets it: "View
// Thumbnails" until the first screenful of cells is painted, and until the whole grid is
// built; with the desktop's thumbnail cache empty (every file decoded, its thumbnail stored),
// then full (every thumbnail read back), then without the cache (decoding alone). Prints
// "name value" lines for thumbs_compare.sh, times in milliseconds.
// Usage: thumbs_bench FOLDER [SIZE]   (the cache is $XDG_CACHE_HOME/thumbnails: start it empty)
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "shell/AppSettings.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "viewing/ui/ThumbnailGrid.h"
#include "viewing/ui/ThumbnailView.h"

#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace mv;

namespace {

// Notes the moment a paint of the grid has finished (the timer runs after the paint).
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* w) { w->installEventFilter(this); }
    QElapsedTimer clock;
    qint64 paintedAt = -1;
    int cellsAtPaint = 0;
    std::function<int()> cells;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] {
                paintedAt = clock.elapsed();
                cellsAtPaint = cells();
            });
        return false;
    }
};

void report(const char* name, double value)
{
    std::printf("%s %.1f\n", name, value);
    std::fflush(stdout);
}

// One build: the first screenful painted, and the whole grid.
void build(shell::MainWindow& window, const char* label)
{
    viewing::ThumbnailView& view = window.thumbnails();
    viewing::ThumbnailGrid* grid = view.grid();
    PaintWatch watch(grid->viewport());
    watch.cells = [grid] { return grid->count(); };
    bool ended = false;
    QObject::connect(&view, &viewing::ThumbnailView::buildEnded, &watch, [&] { ended = true; });
    watch.clock.start();
    view.mnuThumb_Click();
    const viewing::ThumbnailLayout& layout = grid->layout();
    const int rows = (grid->viewport()->height() + layout.rowPitch() - 1) / layout.rowPitch();
    const int screenful =
        qMin(int(window.findChild<browser::FileListView*>()->names().size()), rows * layout.columns());
    waitFor([&] { return watch.cellsAtPaint >= screenful; });
    const qint64 first = watch.paintedAt;
    waitFor([&] { return ended; });
    const qint64 whole = watch.clock.elapsed();
    char name[64];
    std::snprintf(name, sizeof name, "%s_first_screen_ms", label);
    report(name, double(first));
    std::snprintf(name, sizeof name, "%s_whole_grid_ms", label);
    report(name, double(whole));
    std::snprintf(name, sizeof name, "%s_cells", label);
    report(name, grid->count());
    std::snprintf(name, sizeof name, "%s_picture_cells", label);
    report(name, grid->pictureCount());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [SIZE]\n", argv[0]);
        return 2;
    }
    shell::AppSettings settings;
    shell::MainWindow window(settings, false);
    window.show(); // the designed size
    auto* browser = window.findChild<browser::BrowserPane*>();
    browser->fileSpec()->chooseEntry(1); // "All Supported Files"
    if (!browser->setFolder(QString::fromLocal8Bit(argv[1])))
        return 1;
    waitFor([&] { return !browser->listingPending() && !browser->fileList()->names().isEmpty(); });
    window.thumbnails().setThumbSize(argc > 2 ? QByteArray(argv[2]).toInt() : 80);
    const QSize area = window.thumbnails().grid()->parentWidget()->size();
    report("grid_width_px", area.width());
    report("grid_height_px", area.height());
    report("files", double(browser->fileList()->names().size()));
    build(window, "empty_cache");
    build(window, "full_cache");
    window.thumbnails().diskCache.reset();
    build(window, "no_cache");
    return 0;
}
