#include "crypto/ui/ConfirmKeyDialog.h"

#include "widgets/KeyField.h"

#include <QPushButton>

namespace mv::crypto {

ConfirmKeyDialog::ConfirmKeyDialog(QWidget* owner)
    : QDialog(owner), KeyString_(new widgets::KeyField(this)),
      AcceptBut_(new QPushButton(tr("&Accept"), this)), CancelBut_(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("Confirm"));
    setWindowTitle(tr("Mirravelnock! - Confirm key"));
    setModal(true);

    connect(AcceptBut_, &QPushButton::clicked, this, &ConfirmKeyDialog::AcceptBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &ConfirmKeyDialog::reject);
    widgets::layOutKeyDialog(this, tr("Confirm encryption &key :"), KeyString_, AcceptBut_, "AcceptBut",
                             CancelBut_, owner);
}

SecretText ConfirmKeyDialog::ask(QWidget* owner)
{
    ConfirmKeyDialog dialog(owner);
    dialog.exec();
    return dialog.takeConfirmed();
}

void ConfirmKeyDialog::AcceptBut_Click()
{
    confirmed_ = KeyString_->takeKey();
    accept();
}

void ConfirmKeyDialog::reject()
{
    KeyString_->wipe();
    confirmed_.wipe();
    QDialog::reject();
}

} // namespace mv::crypto
