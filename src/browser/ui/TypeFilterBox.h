// The type filter: a drop-down of the picture types that also takes a typed pattern list.
// Its tag is what is stored: the chosen entry's index, or the pattern list as typed.
#pragma once

#include <QComboBox>

namespace mv::browser {

class TypeFilterBox : public QComboBox {
    Q_OBJECT

public:
    explicit TypeFilterBox(QWidget* parent = nullptr);

    // Chooses entry `index` as if the user had (`FileSpec_Click`); any index outside the
    // table counts as "All Files (*.*)".
    void chooseEntry(int index);
    // Takes `patterns` as typed text (`FileSpec_KeyPress` with Enter), without validation.
    void setTyped(const QString& patterns);

    [[nodiscard]] QString currentSpec() const { return spec_; }
    [[nodiscard]] QString tag() const { return tag_; }

signals:
    // The pattern list changed by the user's choice or typing.
    void specChosen();

private:
    QString spec_;
    QString tag_;
};

} // namespace mv::browser
