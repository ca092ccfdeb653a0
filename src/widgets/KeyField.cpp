#include "widgets/KeyField.h"

#include "widgets/Centering.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace mv::widgets {

namespace {

// Every unit of the key shows as this one; the password echo draws bullets over it anyway.
constexpr QChar kMaskUnit = u'*';

bool isTyping(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

// Keys that only move the cursor or the selection, or belong to the dialog: the box may
// handle them in its usual way, since they cannot change the text.
bool isHarmless(const QKeyEvent* event)
{
    static const QKeySequence::StandardKey kMoves[] = {
        QKeySequence::MoveToNextChar,      QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,      QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,   QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,  QKeySequence::MoveToEndOfBlock,
        QKeySequence::SelectNextChar,      QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,      QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,   QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,  QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectAll,           QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument, QKeySequence::SelectStartOfDocument,
        QKeySequence::SelectEndOfDocument,
    };
    for (const auto move : kMoves) {
        if (event->matches(move))
            return true;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
    }
}

} // namespace

KeyField::KeyField(QWidget* parent) : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    setMaxLength(kMaxKeyLength);
    // A key is never offered for pasting elsewhere or dragged out of the box.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    // An input method that predicts words would learn the key.
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                        Qt::ImhNoAutoUppercase);
    setMinimumWidth(fontMetrics().averageCharWidth() * 32);
    connect(this, &QLineEdit::textChanged, this, &KeyField::adopt);
}

KeyField::~KeyField()
{
    // The dialog around the box may be half destroyed by now: tell it nothing.
    blockSignals(true);
    wipe();
}

crypto::SecretText KeyField::takeKey()
{
    crypto::SecretText key = typed_.toSecret();
    wipe();
    return key;
}

void KeyField::wipe()
{
    typed_.clear();
    masking_ = true;
    setText(QString()); // the mask only; this also drops the undo history
    masking_ = false;
}

bool KeyField::isLongEnough() const
{
    return typed_.length() >= kMinNewKeyLength;
}

void KeyField::keyPressEvent(QKeyEvent* event)
{
    const int at = cursorPosition();
    if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (isTyping(event)) {
        typeOver(event->text());
    } else if (hasSelectedText() && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        typeOver({});
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        edit(0, at, {}); // a masked key has no words: the whole start goes, as in any password box
    } else if (event->matches(QKeySequence::DeleteEndOfWord) ||
               event->matches(QKeySequence::DeleteEndOfLine)) {
        edit(at, typed_.length() - at, {});
    } else if (event->key() == Qt::Key_Backspace) {
        if (at > 0)
            edit(at - 1, 1, {});
    } else if (event->key() == Qt::Key_Delete) {
        edit(at, 1, {});
    } else if (isHarmless(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    } else {
        // Copy, cut, undo and anything else that would read or rewrite the text behind our back.
        event->ignore();
        return;
    }
    event->accept();
}

void KeyField::inputMethodEvent(QInputMethodEvent* event)
{
    // Only committed text counts; a composition under way is not part of the key yet.
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        if (event->replacementLength() > 0)
            edit(cursorPosition() + event->replacementStart(), event->replacementLength(),
                 event->commitString());
        else
            typeOver(event->commitString());
    }
    event->accept();
}

void KeyField::typeOver(QStringView text)
{
    if (hasSelectedText())
        edit(selectionStart(), int(selectedText().size()), text);
    else
        edit(cursorPosition(), 0, text);
}

void KeyField::edit(int from, int count, QStringView text)
{
    const int inserted = typed_.replace(from, count, text);
    masking_ = true;
    setText(QString(typed_.length(), kMaskUnit));
    masking_ = false;
    setCursorPosition(std::min(from, typed_.length()) + inserted);
}

void KeyField::adopt(const QString& text)
{
    if (masking_)
        return;
    typed_.clear();
    edit(0, 0, text);
}

void KeyField::paste()
{
    // The clipboard's text is someone else's string; only its characters are taken, and the
    // copy made for this is overwritten. Like any box, a paste stops at the first line break.
    QString pasted = QGuiApplication::clipboard()->text();
    const qsizetype lineEnd = pasted.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
    typeOver(QStringView(pasted).left(lineEnd < 0 ? pasted.size() : lineEnd));
    crypto::wipeString(pasted);
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
