// `frmStatus`: the small window that stays open beside the main window while the selected files
// are deleted, saying which file is in hand. It does not take the keyboard and can't be closed
// by the user; the delete closes it when done. Its Cancel (or Esc, or the close button) asks
// the delete to stop after the file in hand (never in the middle of a wipe).
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace mv::fileutil {

class DeleteStatus : public QDialog {
    Q_OBJECT

public:
    // `safe`: "Safe deleting..."; otherwise the files go to the trash.
    DeleteStatus(bool safe, QWidget* owner);

    // Shows `path` in `lbl2`.
    void showFile(const QString& path);
    // Shows the window beside its owner, leaving the keyboard where it is.
    void showBesideOwner();
    // Closes it for good.
    void finish();

signals:
    // Cancel was pressed: stop after the file in hand.
    void cancelRequested();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* lbl1_;
    QLabel* lbl2_;
    QPushButton* cancel_;
    bool finished_ = false;
};

} // namespace mv::fileutil
