// Shows the file selected in the file list. For now the short road only: a plain picture is
// decoded on the user-interface thread and shown; an encrypted file clears the view (viewing
// encrypted pictures without decrypting them to disk comes with the full viewing pipeline).
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QWidget;

namespace mv::browser {

class BrowserPane;
class PictureArea;

class SelectionViewer : public QObject {
    Q_OBJECT

public:
    SelectionViewer(BrowserPane& browser, PictureArea& area, QLineEdit* infoBar, QWidget* dialogOwner);

    // `FileList_Click`: shows the entry with the focus.
    void FileList_Click();
    // `FileList_DblClick`: opens an unsupported file with the desktop's program.
    void FileList_DblClick();

    [[nodiscard]] bool unsupportedSelected() const { return unsupportedSelected_; }

    // What the information bar shows while no note is due: the banner line.
    QString bannerText;
    // How a file is opened with the desktop's program; tests replace it.
    std::function<bool(const QString& path)> openWithDesktop;

private:
    [[nodiscard]] QString selectedPath() const;

    BrowserPane& browser_;
    PictureArea& area_;
    QLineEdit* infoBar_;
    QWidget* owner_;
    bool unsupportedSelected_ = false;
};

} // namespace mv::browser
