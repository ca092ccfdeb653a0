// `frmAsc`, "Mirravelnock! File Association": one box per picture extension; Associate gives the
// checked ones to the program on the desktop and gives the cleared ones back.
#pragma once

#include "desktop/FileAssociation.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

namespace mv::widgets {
class Job;
} // namespace mv::widgets

namespace mv::fileutil {

class AssociationDialog : public QDialog {
    Q_OBJECT

public:
    // `executable` is what the desktop entry starts; `backups` keep the types' previous owners.
    AssociationDialog(desktop::AssociationBackups& backups, const QString& executable,
                      QWidget* owner = nullptr);

    // Waits for an Associate still at work, so the backups it writes outlive it.
    ~AssociationDialog() override;

    // `mnuAssociation_Click`: shows the window modally, centred over `owner`.
    static void runModal(desktop::AssociationBackups& backups, QWidget* owner);

    void Form_Load();
    void Command1_Click(); // Select All
    void Command3_Click(); // Deselect All
    // Registers the document type and applies the boxes on a worker; the window closes when done.
    void butAssociate_Click();
    // Cancel, Esc and the title bar's close; refused while Associate is at work.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

    // The outcome of the last Associate, for whoever wants to know; association failures are
    // not shown: the boxes tell the truth the next time the window opens.
    const FileResult& lastResult() const { return result_; }

private:
    desktop::AssociationBackups& backups_;
    QString executable_;
    std::array<QCheckBox*, desktop::kAssociationBoxCount> Check1_ {};
    QPushButton* butAssociate_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command3_ = nullptr;
    QPushButton* Command2_ = nullptr;
    widgets::Job* job_;
    FileResult result_;
};

} // namespace mv::fileutil
