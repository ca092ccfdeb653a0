#include "browser/ui/TypeFilterBox.h"

#include "browser/TypeTable.h"

#include <QLineEdit>

namespace mv::browser {

TypeFilterBox::TypeFilterBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The text box the types are typed into is a control of its own for screen readers.
    lineEdit()->setAccessibleName(tr("File types"));
    // Typed text is a pattern list of its own, never a new entry of the table.
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(25);
    addItems(typeTexts());
    connect(this, &QComboBox::activated, this, [this](int index) {
        chooseEntry(index);
        emit specChosen();
    });
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        // Enter on an entry's own text chooses that entry; anything else is a typed list.
        if (currentIndex() >= 0 && currentText() == itemText(currentIndex()))
            chooseEntry(currentIndex());
        else
            setTyped(currentText());
        emit specChosen();
    });
}

void TypeFilterBox::chooseEntry(int index)
{
    const TypeSpec s = specForIndex(index);
    spec_ = s.patterns;
    tag_ = s.tag;
    const int shown = s.tag.toInt();
    if (currentIndex() != shown || currentText() != itemText(shown)) {
        const QSignalBlocker block(this);
        setCurrentIndex(shown);
        setEditText(itemText(shown));
    }
}

void TypeFilterBox::setTyped(const QString& patterns)
{
    spec_ = patterns;
    tag_ = patterns;
    const QSignalBlocker block(this);
    setCurrentIndex(-1);
    setEditText(patterns);
}

} // namespace mv::browser
