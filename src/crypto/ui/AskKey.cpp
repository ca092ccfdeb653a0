#include "crypto/ui/AskKey.h"

#include "crypto/KeyState.h"
#include "widgets/KeyField.h"

#include <QPushButton>

namespace mv::crypto {

AskKey::AskKey(KeyState& keys, QWidget* owner)
    : QDialog(owner), keys_(keys), KeyString_(new widgets::KeyField(this)),
      DecryptBut_(new QPushButton(tr("&Decrypt"), this)), CancelBut_(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("AskKey"));
    setWindowTitle(tr("Mirravelnock! - Enter Key"));
    setModal(true);

    DecryptBut_->setEnabled(false);
    connect(KeyString_, &QLineEdit::textChanged, this,
            [this] { DecryptBut_->setEnabled(KeyString_->isLongEnough()); });
    connect(DecryptBut_, &QPushButton::clicked, this, &AskKey::DecryptBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &AskKey::reject);
    widgets::layOutKeyDialog(this, tr("Enter decryption &key for the file"), KeyString_, DecryptBut_,
                             "DecryptBut", CancelBut_, owner);
}

bool AskKey::ask(KeyState& keys, QWidget* owner)
{
    AskKey dialog(keys, owner);
    dialog.exec();
    return !keys.KeyCancelled;
}

void AskKey::DecryptBut_Click()
{
    // Enter reaches the default button only while it is enabled; a click the same.
    if (!KeyString_->isLongEnough())
        return;
    keys_.append(KeyString_->takeKey());
    keys_.KeyCancelled = false;
    accept();
}

void AskKey::reject()
{
    KeyString_->wipe();
    keys_.KeyCancelled = true;
    QDialog::reject();
}

} // namespace mv::crypto
