// The viewer in the real main window (offscreen), timed as a user meets it: selecting a picture
// until it is painted, the next picture once it was prepared, holding the arrow key through a
// folder (with and without embedded previews, and without them once the desktop's
// thumbnails are made), an encrypted picture, the slideshow, and scrolling at 500 %. The first three
// that depend on the decoder run twice, side by side: decoding in this process (lines "inprocess_..."), as
// the viewer did before the decoder helpers, and in the helpers, as the program does. Prints "name value"
// lines for view_compare.sh, times in milliseconds. Usage: view_bench FOLDER [FOLDER2] [--encrypted FOLDER3]
// (photo_NNN.jpg with EXIF thumbnails, and secret_jpg.mv$ encrypted with the key "bench key"; FOLDER2 the
// same photos without thumbnails; FOLDER3 photos all encrypted with that key, held through in the helpers)
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"
#include "sandbox/helper/InProcessDecoders.h"
#include "shell/AppSettings.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Slideshow.h"
#include "viewing/ui/PictureArea.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailView.h"

#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace mv;

namespace {

// Notes the moment a paint of the picture has finished (the timer runs after the paint).
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* w) { w->installEventFilter(this); }
    qint64 paintedAt = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { paintedAt = clock.nsecsElapsed(); });
        return false;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A piece of the real window, found as the tests of the window find it.
template <typename T>
T& part(const QObject& window)
{
    T* found = window.findChild<T*>();
    if (!found)
        qFatal("view_bench: the window has no %s", T::staticMetaObject.className());
    return *found;
}

// Put before every figure's name: "inprocess_" while the decoders run in this process.
std::string gPrefix;

void report(const char* name, double value)
{
    std::printf("%s%s %.1f\n", gPrefix.c_str(), name, value);
    std::fflush(stdout);
}

struct Bench {
    shell::MainWindow& w;
    browser::BrowserPane& browser = part<browser::BrowserPane>(w);
    viewing::PictureArea& area = part<viewing::PictureArea>(w);
    viewing::SelectionViewer& viewer = part<viewing::SelectionViewer>(w);
    shell::MainMenus& menus = part<shell::MainMenus>(w);
    PaintWatch watch {area.imageControl()};
    browser::FileListView* list = browser.fileList();
    viewing::PictureLoader& loader = viewer.loader();
    imaging::ImageControl* control = area.imageControl();

    explicit Bench(shell::MainWindow& window) : w(window) { watch.clock.start(); }
    QString pathAt(int row) const { return browser.currentFolder() + QLatin1Char('/') + list->nameAt(row); }
    void settle()
    {
        waitFor([&] { return loader.idle(); });
    }
    // Longer than steps of one journey through the list are apart.
    static void pause()
    {
        QElapsedTimer t;
        t.start();
        waitFor([&] { return t.elapsed() > 400; });
    }

    // Milliseconds from `act` until the picture of `row` is painted.
    double timeUntilPainted(int row, const std::function<void()>& act)
    {
        watch.paintedAt = -1;
        const qint64 start = watch.clock.nsecsElapsed();
        act();
        waitFor([&] { return control->pictureFile() == pathAt(row) && watch.paintedAt > start; });
        return double(watch.paintedAt - start) / 1e6;
    }
    void down()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(list, &press);
    }
};

// The two places pictures are decoded in, measured turn about so that both meet the same load.
struct Place {
    const char* prefix; // of the figures' names
    sandbox::Decoders* decoders;
    std::vector<double> times;
};

void use(Bench& b, const Place& place)
{
    b.settle();
    b.loader.forgetPrepared();
    b.loader.setDecoders(*place.decoders);
    gPrefix = place.prefix;
}

void reportMedians(std::vector<Place>& places, const char* name)
{
    for (Place& place : places) {
        gPrefix = place.prefix;
        report(name, median(place.times));
        place.times.clear();
    }
}

void coldSelect(Bench& b, int count, std::vector<Place>& places)
{
    for (int i = 0; i < 5; ++i) {
        const int row = (i * 37 + 11) % count;
        for (Place& place : places) {
            // From another picture, shown and settled, with nothing prepared: a new selection.
            const int away = (row + count / 2) % count;
            b.list->selectRow(away);
            waitFor([&] { return b.control->pictureFile() == b.pathAt(away); });
            use(b, place);
            b.pause();
            place.times.push_back(b.timeUntilPainted(row, [&] { b.list->selectRow(row); }));
        }
    }
    reportMedians(places, "select_until_painted_ms");
}

void preparedNext(Bench& b, int count, std::vector<Place>& places)
{
    for (int i = 0; i < 5; ++i) {
        const int row = (i * 41 + 5) % (count - 1);
        for (Place& place : places) {
            use(b, place);
            b.list->selectRow(row);
            waitFor([&] { return b.control->pictureFile() == b.pathAt(row); });
            b.settle(); // the neighbours are prepared now
            place.times.push_back(b.timeUntilPainted(row + 1, [&] { b.down(); }));
        }
    }
    reportMedians(places, "prepared_next_painted_ms");
}

// Whether the picture on show has the pixels the area draws: not a first look.
bool sharpOnShow(const Bench& b)
{
    const imaging::Picture& p = b.control->pictureObject();
    const double wanted = std::min<double>(p.width, b.control->width() * b.control->devicePixelRatioF());
    return p.image.width() >= 0.98 * wanted;
}

// Holds the arrow key through the list from row 0 at the usual keyboard repeat, 30 presses a
// second: how many steps showed their own picture (a first look or sharp) before the next
// step, the longest freeze of the window, and when the sharp last picture came after the release.
void holdArrow(Bench& b, int count, const char* name)
{
    b.list->selectRow(0);
    waitFor([&] { return b.control->pictureFile() == b.pathAt(0) && sharpOnShow(b); });
    b.settle();
    b.loader.forgetPrepared(); // nothing met on the way is ready from an earlier run
    b.pause();
    // A heartbeat every 5 ms: the longest gap between beats is the longest freeze.
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = 0;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - lastBeat);
        lastBeat = clock.elapsed();
    });
    beat.start(5);
    const int steps = std::min(200, count) - 1;
    std::vector<bool> ownShown(steps + 1, false);
    qint64 lastKeyAt = -1;
    qint64 sharpAt = -1;
    const QMetaObject::Connection settled =
        QObject::connect(&b.viewer, &viewing::SelectionViewer::selectionSettled, [&] {
            const int row = b.list->currentRow();
            if (row < 0 || row > steps || b.control->pictureFile() != b.pathAt(row))
                return;
            ownShown[row] = true;
            if (row == steps && lastKeyAt >= 0 && sharpOnShow(b))
                sharpAt = clock.nsecsElapsed();
        });
    int sent = 0;
    QTimer repeat;
    QObject::connect(&repeat, &QTimer::timeout, [&] {
        if (sent < steps) {
            // The last press is the release's moment; what it shows may come within the press.
            if (sent + 1 == steps)
                lastKeyAt = clock.nsecsElapsed();
            b.down();
            ++sent;
        }
    });
    repeat.start(33);
    waitFor([&] { return sharpAt >= 0; }, 120000);
    repeat.stop();
    beat.stop();
    QObject::disconnect(settled);
    const int shown = int(std::count(ownShown.begin() + 1, ownShown.end(), true));
    const std::string prefix = std::string("hold_") + name + "_";
    report((prefix + "steps").c_str(), steps);
    report((prefix + "own_picture_shown_percent").c_str(), 100.0 * shown / steps);
    report((prefix + "longest_freeze_ms").c_str(), double(longest));
    report((prefix + "sharp_after_release_ms").c_str(), double(sharpAt - lastKeyAt) / 1e6);
}

void knowBenchKey(Bench& b)
{
    auto& keys = part<crypto::KeyState>(b.w);
    if (!keys.hasKeys())
        keys.append(crypto::SecretText::fromText(QStringLiteral("bench key")));
}

void encrypted(Bench& b, int secretRow)
{
    knowBenchKey(b);
    b.list->selectRow(0);
    b.settle();
    b.loader.forgetPrepared();
    b.settle();
    b.pause(); // a new selection, not one more step of the journey through the list
    report("encrypted_first_ms", b.timeUntilPainted(secretRow, [&] { b.list->selectRow(secretRow); }));
    b.list->selectRow(0);
    b.settle();
    b.loader.forgetPrepared();
    b.pause();
    report("encrypted_again_ms", b.timeUntilPainted(secretRow, [&] { b.list->selectRow(secretRow); }));
}

// The slideshow at its shortest interval, full screen, through the photos: how late each
// next picture is painted after its moment (the previous one's paint plus the interval), and
// how many paints between pictures showed no picture at all (a black frame).
void slideshow(Bench& b, int count)
{
    constexpr int kIntervalSeconds = viewing::SlideshowPlan::kIntervalSeconds[0];
    const int pictures = std::min(count, 7);
    b.list->selectRow(0);
    waitFor([&] { return b.control->pictureFile() == b.pathAt(0) && sharpOnShow(b); });
    b.settle();
    b.pause();
    QString onShow = b.control->pictureFile();
    std::vector<qint64> paintedAt;
    int blankPaints = 0;
    auto& show = part<shell::Slideshow>(b.w);
    // Checked after every paint of the picture: which file it showed, if any.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (b.watch.paintedAt < 0)
            return;
        b.watch.paintedAt = -1;
        const QString file = b.control->pictureFile();
        if (file.isEmpty() || !b.area.hasPicture())
            ++blankPaints;
        else if (file != onShow) {
            onShow = file;
            paintedAt.push_back(b.watch.clock.nsecsElapsed());
        }
    });
    poll.start(1);
    b.watch.paintedAt = -1;
    show.start(kIntervalSeconds);
    waitFor([&] { return int(paintedAt.size()) >= pictures; }, 60000);
    show.stop();
    poll.stop();
    std::vector<double> late;
    for (std::size_t i = 1; i < paintedAt.size(); ++i)
        late.push_back(double(paintedAt[i] - paintedAt[i - 1]) / 1e6 - 1000.0 * kIntervalSeconds);
    report("slideshow_pictures", double(paintedAt.size()));
    report("slideshow_next_late_median_ms", median(late));
    report("slideshow_next_late_worst_ms", late.empty() ? -1 : *std::max_element(late.begin(), late.end()));
    report("slideshow_blank_paints", blankPaints);
    b.settle();
}

void zoomScroll(Bench& b)
{
    b.list->selectRow(1);
    waitFor([&] { return b.control->pictureFile() == b.pathAt(1); });
    b.menus.MenuZoomLevel[11]->trigger(); // 500 %
    b.settle();                           // the picture is decoded again at full size
    QScrollBar* bar = b.area.horizontalBar();
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        b.watch.paintedAt = -1;
        const qint64 start = b.watch.clock.nsecsElapsed();
        bar->setValue(bar->value() + (i % 2 ? -1 : 1) * bar->pageStep() / 4);
        waitFor([&] { return b.watch.paintedAt > start; });
        times.push_back(double(b.watch.paintedAt - start) / 1e6);
    }
    report("zoom500_scroll_paint_median_ms", median(times));
    report("zoom500_scroll_paint_worst_ms", *std::max_element(times.begin(), times.end()));
    b.menus.MenuZoomLevel[0]->trigger();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QString encryptedFolder;
    if (const qsizetype at = args.indexOf(QStringLiteral("--encrypted")); at > 0 && at + 1 < args.size()) {
        encryptedFolder = args[at + 1];
        args.remove(at, 2);
    }
    argc = int(args.size());
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    shell::AppSettings settings;
    shell::MainWindow window(settings, false);
    window.resize(1280, 800);
    window.show();
    Bench b(window);
    b.browser.fileSpec()->chooseEntry(1); // "All Supported Files"
    if (!b.browser.setFolder(args[1]))
        return 1;
    waitFor([&] { return !b.browser.listingPending() && !b.list->names().isEmpty(); });
    b.menus.MenuZoomLevel[0]->trigger(); // Best Fit
    const int secretRow = b.list->find(QStringLiteral("secret_jpg.mv$"));
    const int count = int(b.list->names().size()) - (secretRow >= 0 ? 1 : 0);
    if (count < 3) {
        std::fprintf(stderr, "view_bench: %s lists %d pictures; at least 3 are needed\n", qPrintable(args[1]),
                     count);
        return 1;
    }
    sandbox::InProcessDecoders inProcess;
    std::vector<Place> places {{"inprocess_", &inProcess, {}}, {"", &b.viewer.decoders(), {}}};
    coldSelect(b, count, places);
    preparedNext(b, count, places);
    for (const Place& place : places) {
        use(b, place);
        holdArrow(b, count, "previews");
        if (secretRow >= 0)
            encrypted(b, secretRow);
    }
    // Through encrypted photos, in the helpers: every step decrypts, and its helper is replaced.
    if (!encryptedFolder.isEmpty()) {
        use(b, places.back());
        knowBenchKey(b);
        if (!b.browser.setFolder(encryptedFolder))
            return 1;
        waitFor([&] { return !b.browser.listingPending() && !b.list->names().isEmpty(); });
        holdArrow(b, int(b.list->names().size()), "encrypted");
        b.browser.setFolder(args[1]);
        waitFor([&] { return !b.browser.listingPending() && !b.list->names().isEmpty(); });
    }
    // The same journey through photos that carry no embedded preview, in the helpers.
    if (argc > 2) {
        use(b, places.back());
        if (!b.browser.setFolder(args[2]))
            return 1;
        waitFor([&] { return !b.browser.listingPending() && !b.list->names().isEmpty(); });
        holdArrow(b, int(b.list->names().size()), "no_previews");
        // Once the grid has shown them, the desktop's thumbnails stand in for the previews.
        viewing::ThumbnailView& grid = window.thumbnails();
        bool built = false;
        QObject::connect(&grid, &viewing::ThumbnailView::buildEnded, [&] { built = true; });
        grid.mnuThumb_Click();
        waitFor([&] { return built; }, 600000);
        grid.MenuClear_Click();
        grid.MenuClear_Click();
        holdArrow(b, int(b.list->names().size()), "no_previews_thumbnails_cached");
        b.browser.setFolder(args[1]);
        waitFor([&] { return !b.browser.listingPending() && !b.list->names().isEmpty(); });
    }
    slideshow(b, count); // in the helpers, as the program does
    zoomScroll(b);
    return 0;
}
