// Temporary files that a killed run left in a folder ("$MV....TMP" of a wipe, ".mv-....tmp" of
// a new file) may hold private data. When a folder holding some is listed, the information line
// says so and the user is offered to wipe them, with the question the batch asks; the wipe runs
// on a worker and its outcome goes to the same line. Files the user chose to keep are not asked
// about again while the program runs.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

class QLineEdit;
class QWidget;

namespace mv::browser {

class BrowserPane;

class LeftoverOffer : public QObject {
    Q_OBJECT

public:
    LeftoverOffer(BrowserPane& browser, QLineEdit* infoBar, QWidget* owner);

    // True: wipe the files (full paths). By default the batch's question over the window;
    // tests replace it.
    std::function<bool(const QStringList& paths)> askWipe;

signals:
    // A wipe the user agreed to has ended and its outcome is in the information line.
    void wipeEnded();

private:
    void found(const QStringList& paths);
    void offer(const QStringList& paths);
    void ended();
    void tell(const QString& text);

    BrowserPane& browser_;
    QLineEdit* infoBar_;
    QWidget* owner_;
    QSet<QString> kept_;                 // the user said No, or they could not be wiped
    QFutureWatcher<QStringList> wiping_; // the failures, as the line shows them
    QStringList inHand_;
};

} // namespace mv::browser
