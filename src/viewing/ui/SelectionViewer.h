// Shows the file selected in the file list: plain and encrypted pictures are loaded on a
// worker (an encrypted one decrypted into memory only, with the keys in hand, and the key
// dialog when none fits), the latest selection alone is shown, and the neighbours in the
// direction of travel are prepared while the user looks.
#pragma once

#include "viewing/PictureLoader.h"
#include "viewing/TravelPolicy.h"
#include "widgets/WaitCursor.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QLineEdit;
class QWidget;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::browser {
class BrowserPane;
class LeftoverOffer;
} // namespace mv::browser

namespace mv::viewing {

class PictureArea;

class SelectionViewer : public QObject {
    Q_OBJECT

public:
    // `decoders` (the window's helper pool) must outlive the viewer and its workers.
    SelectionViewer(sandbox::Decoders& decoders, browser::BrowserPane& browser, PictureArea& area,
                    QLineEdit* infoBar, crypto::KeyState& keys, QWidget* dialogOwner);
    ~SelectionViewer() override;

    // How long a picture may take before the information line says it is being decoded.
    static constexpr int kSlowNoteMs = 500;

    // `FileList_Click`: shows the entry with the focus.
    void FileList_Click();
    // `FileList_DblClick`: opens an unsupported file with the desktop's program.
    void FileList_DblClick();

    // "Clear Viewing Area": clears the view and gives the keyboard back to the file list.
    void MenuClear_Click();
    // `ResetView`: drops a load under way, clears the picture area and shows the banner line.
    void ResetView();
    // A picture file dropped on the picture area: loaded as a selection is, but with no key (an
    // encrypted file is never shown) and whole, and shown with the file list, its selection and
    // the information bar left as they are; "Unable to display this file!" when it can't be.
    void showDropped(const QString& path);

    [[nodiscard]] bool unsupportedSelected() const { return unsupportedSelected_; }
    [[nodiscard]] bool viewingEncrypted() const { return viewingEncrypted_; }
    // The list entry whose picture is on show; empty when the area shows none.
    [[nodiscard]] QString nameOnView() const;
    [[nodiscard]] PictureLoader& loader() { return loader_; }
    // The decoders the pictures are decoded in: the window's pool of helper processes.
    [[nodiscard]] sandbox::Decoders& decoders() { return loader_.decoders(); }
    // The offer to wipe what an interrupted run left in a listed folder.
    [[nodiscard]] browser::LeftoverOffer& leftoverOffer() { return *leftovers_; }
    // The view was cleared by the user: a load under way is not shown when it ends.
    void dropPending();

    // What the information bar shows while no note is due: the banner line.
    QString bannerText;
    // The desktop's thumbnails, read for first looks while travelling; tests replace it.
    std::shared_ptr<const desktop::ThumbnailCache> thumbnailCache;
    // How a file is opened with the desktop's program; tests replace it.
    std::function<bool(const QString& path)> openWithDesktop;
    // `AskKey` for the file; false when cancelled. Tests replace it.
    std::function<bool(const QString& path)> askKey;
    // The beep of a decrypted file that cannot be shown. Tests replace it.
    std::function<void()> beep;

signals:
    // A selection's or a drop's outcome was shown (a picture, a message or a cleared view).
    void selectionSettled();

private:
    void request();
    // Nothing asked for so far is shown any more, and the wait pointer goes.
    void stopLoading();
    void startLoad(PictureRequest request);
    void settle(const SharedOutcome& outcome);
    void settleDrop(const SharedOutcome& outcome);
    void onLoaded(quint64 ticket, const mv::viewing::SharedOutcome& outcome);
    // What the policy asks for around the selected row.
    void prepareAround();
    void sharpenIfNeeded();
    // The picture on show has as many pixels as the area draws (a first look has not).
    [[nodiscard]] bool sharpOnShow() const;
    [[nodiscard]] PictureRequest makeRequest(const QString& name) const;
    [[nodiscard]] QString pathOf(const QString& name) const;
    void showNote(const QString& text);
    // "Error reading this file!", and why when the decoder was stopped rather than refusing it.
    static QString readError(const fileio::Status& why);

    browser::BrowserPane& browser_;
    PictureArea& area_;
    QLineEdit* infoBar_;
    crypto::KeyState& keys_;
    QWidget* owner_;
    PictureLoader loader_;
    browser::LeftoverOffer* leftovers_;
    bool unsupportedSelected_ = false;
    bool viewingEncrypted_ = false;
    widgets::WaitCursor waiting_;
    bool openWhenSettled_ = false; // a double-click came while the entry was being looked at
    quint64 ticket_ = 0;
    QString pendingName_; // the entry whose load is under way
    QString shownName_;   // the entry on show
    QString dropPath_;    // the dropped file whose load is under way
    TravelPolicy travel_; // what to load when, and what to prepare
    QElapsedTimer clock_;
    QTimer travelEnd_;  // no step for a while: the user has stopped
    QTimer travelLoad_; // a travelling selection's load waits for the user to stay
    QTimer slowNote_;   // a load that takes longer than this says so
};

} // namespace mv::viewing
