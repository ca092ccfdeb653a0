#include "secured/ui/AsscKey.h"

#include "crypto/KeyState.h"
#include "widgets/Centering.h"
#include "widgets/KeyField.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::secured {

AsscKey::AsscKey(crypto::KeyState& keys, QWidget* owner, const QString& heading)
    : QDialog(owner), keys_(keys), KeyOne_(new widgets::KeyField(this)), KeyTwo_(new widgets::KeyField(this)),
      OKBut_(new QPushButton(tr("OK"), this)), CancelBut_(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("AsscKey"));
    setWindowTitle(tr("Mirravelnock! - Associated Files Key"));
    setModal(true);
    KeyOne_->setObjectName(QStringLiteral("KeyOne"));
    KeyTwo_->setObjectName(QStringLiteral("KeyTwo"));
    OKBut_->setObjectName(QStringLiteral("OKBut"));
    CancelBut_->setObjectName(QStringLiteral("CancelBut"));
    OKBut_->setEnabled(false);
    OKBut_->setDefault(true);
    OKBut_->setAutoDefault(false);
    CancelBut_->setAutoDefault(false);

    auto* headingLabel = new QLabel(
        heading.isEmpty() ? tr("Enter the key to use to encrypt and decrypt the associated files") : heading,
        this);
    headingLabel->setObjectName(QStringLiteral("Heading"));
    // A heading that names files may be long: it wraps rather than widening the window past
    // the screen.
    headingLabel->setWordWrap(!heading.isEmpty());
    auto* labelOne = new QLabel(tr("Key : "), this);
    auto* labelTwo = new QLabel(tr("Re-Enter key : "), this);
    labelOne->setBuddy(KeyOne_);
    labelTwo->setBuddy(KeyTwo_);
    auto* fields = new QGridLayout;
    fields->addWidget(labelOne, 0, 0);
    fields->addWidget(KeyOne_, 0, 1);
    fields->addWidget(labelTwo, 1, 0);
    fields->addWidget(KeyTwo_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBut_);
    buttons->addWidget(CancelBut_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headingLabel);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(KeyOne_, KeyTwo_);
    setTabOrder(KeyTwo_, OKBut_);
    setTabOrder(OKBut_, CancelBut_);

    connect(KeyOne_, &QLineEdit::textChanged, this, &AsscKey::CheckKeys);
    connect(KeyTwo_, &QLineEdit::textChanged, this, &AsscKey::CheckKeys);
    connect(OKBut_, &QPushButton::clicked, this, &AsscKey::OKBut_Click);
    connect(CancelBut_, &QPushButton::clicked, this, &AsscKey::CancelBut_Click);
    KeyOne_->installEventFilter(this);
    KeyOne_->setFocus();
}

AsscKey::~AsscKey() = default;

crypto::SecretText AsscKey::ask(crypto::KeyState& keys, QWidget* owner, const QString& heading)
{
    AsscKey window(keys, owner, heading);
    window.adjustSize();
    widgets::CenterOnOwner(&window, owner);
    window.exec();
    return window.key();
}

bool AsscKey::keysAcceptable() const
{
    return KeyOne_->isLongEnough() && KeyTwo_->isLongEnough() && KeyOne_->key() == KeyTwo_->key();
}

void AsscKey::CheckKeys()
{
    const bool acceptable = keysAcceptable();
    if (acceptable == OKBut_->isEnabled())
        return;
    OKBut_->setEnabled(acceptable);
    if (acceptable)
        OKBut_->setFocus();
}

bool AsscKey::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the first box moves on to the second. In the second it reaches OK, the
    // default button, which acts only while it is enabled: a key shorter than four
    // characters is never accepted.
    if (watched == KeyOne_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            KeyTwo_->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AsscKey::OKBut_Click()
{
    cancelled_ = false;
    accept();
}

void AsscKey::CancelBut_Click()
{
    cancelled_ = true;
    reject();
}

void AsscKey::done(int)
{
    if (!cancelled_ && !keysAcceptable()) {
        cancelled_ = true; // a close box or Esc afterwards cancels
        QApplication::beep();
        return;
    }
    if (cancelled_) {
        keys_.CurrentKey = crypto::SecretText();
        KeyOne_->wipe();
    } else {
        key_ = KeyOne_->takeKey();
        keys_.CurrentKey = key_;
        keys_.append(key_);
    }
    KeyTwo_->wipe();
    QDialog::done(cancelled_ ? QDialog::Rejected : QDialog::Accepted);
}

} // namespace mv::secured
