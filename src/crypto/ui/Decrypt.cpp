#include "crypto/ui/Decrypt.h"

#include <QPushButton>

namespace mv::crypto {

Decrypt::Decrypt(KeyState& keys, FileListState list, QWidget* owner)
    : BatchDialog(keys, tr("Mirravelnock! - Decrypt"),
                  tr("Select the action to be taken for the decryption."), tr("Decrypt &selected files only"),
                  tr("Decrypt &all displayed files in directory"), QStringLiteral("Decrypt"), list, owner)
{
    connect(BeginBut_, &QPushButton::clicked, this, &Decrypt::BeginBut_Click);
    finishLayout(lastScopeControl());
    BeginBut_->setFocus(Qt::OtherFocusReason);
}

void Decrypt::BeginBut_Click()
{
    if (Busy())
        return;
    runBatch(false, [this] {
        if (runner_)
            runner_(this, options());
    });
}

} // namespace mv::crypto
