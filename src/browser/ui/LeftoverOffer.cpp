#include "browser/ui/LeftoverOffer.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "crypto/ui/LeftoverQuestion.h"
#include "desktop/PlainTraces.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace mv::browser {

namespace {

QStringList wipeAll(const QStringList& paths)
{
    QStringList failures;
    for (const QString& path : paths) {
        QList<fileutil::FileResult> traces;
        const fileutil::FileResult wiped = desktop::wipeWithTraces(path, &traces);
        if (!wiped.ok)
            failures << QCoreApplication::translate("mv::browser::LeftoverOffer", "%1 could not be wiped: %2")
                            .arg(QFileInfo(path).fileName(), fileutil::resultText(wiped));
        for (const fileutil::FileResult& trace : traces)
            failures << QCoreApplication::translate("mv::browser::LeftoverOffer",
                                                    "a thumbnail of %1 could not be wiped: %2")
                            .arg(QFileInfo(path).fileName(), fileutil::resultText(trace));
    }
    return failures;
}

} // namespace

LeftoverOffer::LeftoverOffer(BrowserPane& browser, QLineEdit* infoBar, QWidget* owner)
    : QObject(owner), browser_(browser), infoBar_(infoBar), owner_(owner)
{
    askWipe = [this](const QStringList& paths) {
        return crypto::askWipeLeftovers(owner_, tr("Mirravelnock!"), paths);
    };
    connect(&browser_, &BrowserPane::leftoversFound, this, &LeftoverOffer::found);
    connect(&wiping_, &QFutureWatcher<QStringList>::finished, this, &LeftoverOffer::ended);
}

void LeftoverOffer::tell(const QString& text)
{
    infoBar_->setText(text);
    infoBar_->setCursorPosition(0);
}

void LeftoverOffer::found(const QStringList& paths)
{
    tell(tr("This folder holds %n temporary file(s) left by an interrupted run, which may hold private data",
            nullptr, int(paths.size())));
    if (wiping_.isRunning())
        return;
    const QStringList toAsk = [&] {
        QStringList out;
        for (const QString& p : paths)
            if (!kept_.contains(p))
                out << p;
        return out;
    }();
    // Asked once the listing is done, not from inside it.
    if (!toAsk.isEmpty())
        QTimer::singleShot(0, this, [this, toAsk] { offer(toAsk); });
}

void LeftoverOffer::offer(const QStringList& paths)
{
    // Not over another question (a batch asks its own), nor over a window not on screen: the
    // next listing of the folder asks.
    const QWidget* window = owner_ ? owner_->window() : nullptr;
    if (wiping_.isRunning() || QApplication::activeModalWidget() ||
        QFileInfo(paths.first()).absolutePath() != browser_.currentFolder() ||
        (window && (!window->isVisible() || window->isMinimized())))
        return;
    if (!askWipe(paths)) {
        for (const QString& p : paths)
            kept_.insert(p);
        return;
    }
    inHand_ = paths;
    wiping_.setFuture(QtConcurrent::run(wipeAll, paths));
}

void LeftoverOffer::ended()
{
    const QStringList failures = wiping_.result();
    for (const QString& p : inHand_)
        if (QFileInfo::exists(p))
            kept_.insert(p); // not asked again: the line says why it stayed
    const int wiped = int(inHand_.size() - failures.size());
    const QString text = failures.isEmpty() ? tr("Wiped %n left-over temporary file(s)", nullptr, wiped)
                                            : failures.join(QLatin1String("; "));
    inHand_.clear();
    // The wiped names leave the list; the outcome is told after the listing's own note.
    browser_.RefreshFileList([this, text] {
        tell(text);
        emit wipeEnded();
    });
}

} // namespace mv::browser
