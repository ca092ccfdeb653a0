#include "crypto/ui/Encrypt.h"

#include "crypto/KeyState.h"
#include "crypto/ui/Confirm.h"
#include "widgets/KeyField.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace mv::crypto {

Encrypt::Encrypt(KeyState& keys, FileListState list, QWidget* owner)
    : BatchDialog(keys, tr("Mirravelnock! - Encrypt"),
                  tr("Select the action to be taken for the encryption."), tr("Encrypt &selected files only"),
                  tr("Encrypt &all displayed files in directory"), QStringLiteral("Encrypt"), list, owner),
      KeyString_(new widgets::KeyField(this))
{
    auto* label2 = new QLabel(tr("Enter encryption &key to use"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setBuddy(KeyString_);
    KeyString_->setObjectName(QStringLiteral("KeyString"));
    extraRows()->addSpacing(fontMetrics().height() / 2);
    extraRows()->addWidget(label2);
    extraRows()->addWidget(KeyString_);

    BeginBut_->setEnabled(false);
    connect(KeyString_, &QLineEdit::textChanged, this,
            [this] { BeginBut_->setEnabled(KeyString_->isLongEnough()); });
    connect(BeginBut_, &QPushButton::clicked, this, &Encrypt::BeginBut_Click);

    setTabOrder(lastScopeControl(), KeyString_);
    finishLayout(KeyString_);
    // The options are already set from the file list; the key is what is left to type.
    KeyString_->setFocus(Qt::OtherFocusReason);
}

void Encrypt::BeginBut_Click()
{
    if (Busy() || !KeyString_->isLongEnough())
        return;
    // The box keeps the key (in guarded memory) until the batch has it: a cancelled
    // confirmation leaves the dialog as it was, key and focus included.
    SecretText key = KeyString_->key();
    if (!keys_.contains(key)) {
        if (!confirmNewKey(key)) {
            // Also where no window manager hands the keyboard back.
            activateWindow();
            KeyString_->setFocus(Qt::OtherFocusReason);
            return;
        }
        repaint();
        keys_.append(key);
    }
    KeyString_->wipe();
    key_ = std::move(key);
    runBatch(true, [this] {
        if (runner_)
            runner_(this, options(), key_);
    });
}

bool Encrypt::confirmNewKey(const SecretText& key)
{
    for (;;) {
        const SecretText confirmed = Confirm::ask(this);
        if (confirmed.isEmpty())
            return false;
        if (confirmed == key)
            return true;
        QMessageBox::warning(this, tr("Mirravelnock!"), tr("The key you entered is not the same."));
    }
}

void Encrypt::reject()
{
    if (!Busy())
        KeyString_->wipe();
    BatchDialog::reject();
}

} // namespace mv::crypto
