#include "crypto/ui/Confirm.h"

#include "widgets/KeyField.h"

#include <QPushButton>

namespace mv::crypto {

Confirm::Confirm(QWidget* owner)
    : QDialog(owner), KeyString_(new widgets::KeyField(this)),
      AcceptBut_(new QPushButton(tr("&Accept"), this)), CancelBut_(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("Confirm"));
    setWindowTitle(tr("Mirravelnock! - Confirm key"));
    setModal(true);

    connect(AcceptBut_, &QPushButton::clicked, this, &Confirm::AcceptBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &Confirm::reject);
    widgets::layOutKeyDialog(this, tr("Confirm encryption &key :"), KeyString_, AcceptBut_, "AcceptBut",
                             CancelBut_, owner);
}

SecretText Confirm::ask(QWidget* owner)
{
    Confirm dialog(owner);
    dialog.exec();
    return dialog.takeConfirmed();
}

void Confirm::AcceptBut_Click()
{
    confirmed_ = KeyString_->takeKey();
    accept();
}

void Confirm::reject()
{
    KeyString_->wipe();
    confirmed_.wipe();
    QDialog::reject();
}

} // namespace mv::crypto
