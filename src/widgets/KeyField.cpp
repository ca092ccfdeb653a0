#include "widgets/KeyField.h"

#include "widgets/Centering.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::widgets {

KeyField::KeyField(QWidget* parent) : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    setMaxLength(kMaxKeyLength);
    // A key is never offered for pasting elsewhere or dragged out of the box.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setMinimumWidth(fontMetrics().averageCharWidth() * 32);
}

KeyField::~KeyField()
{
    // The dialog around the box may be half destroyed by now: tell it nothing.
    blockSignals(true);
    wipe();
}

crypto::SecretText KeyField::takeKey()
{
    crypto::SecretText key = crypto::SecretText::fromText(text());
    wipe();
    return key;
}

void KeyField::wipe()
{
    // text() shares the box's own buffer. Once the box lets go of it (setText, which also
    // drops the undo history that clear() would extend), `held` is its only owner and can be
    // overwritten in place instead of in a copy.
    QString held = text();
    setText(QString());
    crypto::wipeString(held);
}

bool KeyField::isLongEnough() const
{
    return text().size() >= kMinNewKeyLength;
}

void layOutKeyDialog(QDialog* dialog, const QString& labelText, KeyField* field, QPushButton* accept,
                     const char* acceptName, QPushButton* cancel, QWidget* owner)
{
    auto* label1 = new QLabel(labelText, dialog);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setBuddy(field);
    field->setObjectName(QStringLiteral("KeyString"));
    accept->setObjectName(QLatin1String(acceptName));
    accept->setDefault(true);
    accept->setAutoDefault(false);
    cancel->setObjectName(QStringLiteral("CancelBut"));
    cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label1);
    layout->addWidget(field);
    layout->addSpacing(dialog->fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(field, accept);
    QWidget::setTabOrder(accept, cancel);
    field->setFocus(Qt::OtherFocusReason);
    dialog->adjustSize();
    CenterOnOwner(dialog, owner);
}

} // namespace mv::widgets
