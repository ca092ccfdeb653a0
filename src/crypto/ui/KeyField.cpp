#include "crypto/ui/KeyField.h"

namespace mv::crypto {

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

SecretText KeyField::takeKey()
{
    SecretText key = SecretText::fromText(text());
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
    wipeString(held);
}

bool KeyField::isLongEnough() const
{
    return text().size() >= kMinNewKeyLength;
}

} // namespace mv::crypto
