#include "fileutil/ui/DeleteStatus.h"

#include "widgets/Centering.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::fileutil {

DeleteStatus::DeleteStatus(bool safe, QWidget* owner)
    : QDialog(owner), lbl1_(new QLabel(this)), lbl2_(new QLabel(tr("wait..."), this)),
      cancel_(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(tr("Mirravelnock!"));
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::WaitCursor);
    lbl1_->setObjectName(QStringLiteral("lbl1"));
    lbl2_->setObjectName(QStringLiteral("lbl2"));
    lbl1_->setText(safe ? tr("Safe deleting...") : tr("Moving to the trash..."));
    lbl2_->setTextFormat(Qt::PlainText);
    lbl2_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl1_);
    layout->addWidget(lbl2_);
    cancel_->setObjectName(QStringLiteral("CancelBut"));
    // Shown without taking the keyboard; a user who switches to it reaches Cancel with Tab or
    // Esc.
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancel_->setEnabled(false);
        lbl1_->setText(tr("Stopping after this file..."));
        emit cancelRequested();
    });
}

void DeleteStatus::showFile(const QString& path)
{
    // A long path keeps its start and its name; the full one is in the tooltip.
    const QString shown = QDir::toNativeSeparators(path);
    lbl2_->setText(fontMetrics().elidedText(shown, Qt::ElideMiddle, lbl2_->width()));
    lbl2_->setToolTip(shown);
    lbl2_->setAccessibleName(shown);
}

void DeleteStatus::showBesideOwner()
{
    adjustSize();
    widgets::CenterOnOwner(this, parentWidget());
    show();
}

void DeleteStatus::finish()
{
    finished_ = true;
    close();
}

void DeleteStatus::reject()
{
    // Esc or the window's close button: the delete stops after the file in hand, and the
    // window closes when it has.
    if (finished_)
        QDialog::reject();
    else if (cancel_->isEnabled())
        cancel_->click();
}

void DeleteStatus::closeEvent(QCloseEvent* event)
{
    if (!finished_) {
        event->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace mv::fileutil
