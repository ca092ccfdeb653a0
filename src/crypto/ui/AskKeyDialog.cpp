#include "crypto/ui/AskKeyDialog.h"

#include "crypto/KeyState.h"
#include "crypto/ui/KeyField.h"
#include "shell/ui/Centering.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::crypto {

AskKeyDialog::AskKeyDialog(KeyState& keys, QWidget* owner)
    : QDialog(owner), keys_(keys), KeyString_(new KeyField(this)),
      DecryptBut_(new QPushButton(tr("&Decrypt"), this)), CancelBut_(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("AskKey"));
    setWindowTitle(tr("Mirravelnock! - Enter Key"));
    setModal(true);

    auto* label1 = new QLabel(tr("Enter decryption &key for the file"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setBuddy(KeyString_);
    KeyString_->setObjectName(QStringLiteral("KeyString"));
    DecryptBut_->setObjectName(QStringLiteral("DecryptBut"));
    DecryptBut_->setDefault(true);
    DecryptBut_->setAutoDefault(false);
    DecryptBut_->setEnabled(false);
    CancelBut_->setObjectName(QStringLiteral("CancelBut"));
    CancelBut_->setAutoDefault(false);
    connect(KeyString_, &QLineEdit::textChanged, this,
            [this] { DecryptBut_->setEnabled(KeyString_->isLongEnough()); });
    connect(DecryptBut_, &QPushButton::clicked, this, &AskKeyDialog::DecryptBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &AskKeyDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(DecryptBut_);
    buttons->addWidget(CancelBut_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(KeyString_);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(KeyString_, DecryptBut_);
    setTabOrder(DecryptBut_, CancelBut_);
    KeyString_->setFocus(Qt::OtherFocusReason);
    adjustSize();
    mv::shell::CenterOnOwner(this, owner);
}

bool AskKeyDialog::ask(KeyState& keys, QWidget* owner)
{
    AskKeyDialog dialog(keys, owner);
    dialog.exec();
    return !keys.KeyCancelled;
}

void AskKeyDialog::DecryptBut_Click()
{
    // Enter reaches the default button only while it is enabled; a click the same.
    if (!KeyString_->isLongEnough())
        return;
    keys_.append(KeyString_->takeKey());
    keys_.KeyCancelled = false;
    accept();
}

void AskKeyDialog::reject()
{
    KeyString_->wipe();
    keys_.KeyCancelled = true;
    QDialog::reject();
}

} // namespace mv::crypto
