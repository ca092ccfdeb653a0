#include "crypto/ui/BatchDialog.h"

#include "crypto/KeyState.h"
#include "crypto/ui/ScopeBox.h"
#include "widgets/Centering.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::crypto {

BatchDialog::BatchDialog(KeyState& keys, const QString& title, const QString& heading,
                         const QString& selectedText, const QString& allText, const QString& prefix,
                         FileListState list, QWidget* owner)
    : QDialog(owner), keys_(keys), BeginBut_(nullptr), CancelBut_(nullptr), scope_(nullptr),
      extraRows_(new QVBoxLayout)
{
    setObjectName(prefix);
    setWindowTitle(title);
    setModal(true);

    auto* label1 = new QLabel(heading, this);
    label1->setObjectName(QStringLiteral("Label1"));
    scope_ = new ScopeBox(selectedText, allText, prefix, list, this);

    BeginBut_ = new QPushButton(tr("&Begin"), this);
    BeginBut_->setObjectName(QStringLiteral("BeginBut"));
    BeginBut_->setDefault(true);
    BeginBut_->setAutoDefault(false);
    CancelBut_ = new QPushButton(tr("&Cancel"), this);
    CancelBut_->setObjectName(QStringLiteral("CancelBut"));
    CancelBut_->setAutoDefault(false);
    connect(CancelBut_, &QPushButton::clicked, this, &BatchDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BeginBut_);
    buttons->addWidget(CancelBut_);

    const int line = fontMetrics().height();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(scope_);
    layout->addLayout(extraRows_);
    layout->addSpacing(line / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ScopeOptions BatchDialog::options() const
{
    return scope_->options();
}

QWidget* BatchDialog::lastScopeControl() const
{
    return scope_->lastControl();
}

void BatchDialog::finishLayout(QWidget* lastBeforeButtons)
{
    setTabOrder(lastBeforeButtons, BeginBut_);
    setTabOrder(BeginBut_, CancelBut_);
    adjustSize();
    widgets::CenterOnOwner(this, parentWidget());
}

void BatchDialog::reject()
{
    // The batch still reads this dialog's choices: it must not go while the batch runs.
    if (busy_) {
        QApplication::beep();
        return;
    }
    QDialog::reject();
}

void BatchDialog::runBatch(bool encrypt, const std::function<void()>& batch)
{
    busy_ = true;
    {
        const widgets::WaitCursor hourglass(true); // however the batch ends
        keys_.EncryptMode = encrypt;
        if (batch)
            batch();
    }
    busy_ = false;
    accept();
}

} // namespace mv::crypto
