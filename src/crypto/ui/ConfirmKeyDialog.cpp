#include "crypto/ui/ConfirmKeyDialog.h"

#include "crypto/ui/KeyField.h"
#include "shell/ui/Centering.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::crypto {

ConfirmKeyDialog::ConfirmKeyDialog(QWidget* owner)
    : QDialog(owner), KeyString_(new KeyField(this)), AcceptBut_(new QPushButton(tr("&Accept"), this)),
      CancelBut_(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("Confirm"));
    setWindowTitle(tr("Mirravelnock! - Confirm key"));
    setModal(true);

    auto* label1 = new QLabel(tr("Confirm encryption &key :"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setBuddy(KeyString_);
    KeyString_->setObjectName(QStringLiteral("KeyString"));
    AcceptBut_->setObjectName(QStringLiteral("AcceptBut"));
    AcceptBut_->setDefault(true);
    AcceptBut_->setAutoDefault(false);
    CancelBut_->setObjectName(QStringLiteral("CancelBut"));
    CancelBut_->setAutoDefault(false);
    connect(AcceptBut_, &QPushButton::clicked, this, &ConfirmKeyDialog::AcceptBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &ConfirmKeyDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AcceptBut_);
    buttons->addWidget(CancelBut_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(KeyString_);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(KeyString_, AcceptBut_);
    setTabOrder(AcceptBut_, CancelBut_);
    KeyString_->setFocus(Qt::OtherFocusReason);
    adjustSize();
    mv::shell::CenterOnOwner(this, owner);
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
