// `ProgTitle`: asks the title an entry shows in the list. It cannot be cancelled: every way
// of closing it takes the title, and none works while the title is blank.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mv::secured {

class ProgTitle : public QDialog {
    Q_OBJECT

public:
    ProgTitle(const QString& ProgramTitle, QWidget* owner);

    // Shows the window over `owner` and returns the title as typed (trailing blanks kept).
    static QString ask(const QString& ProgramTitle, QWidget* owner);

    [[nodiscard]] QString ProgramTitle() const;
    void done(int result) override;

private:
    [[nodiscard]] bool blank() const;

    QLineEdit* Title_;
    QPushButton* OKBut_;
};

} // namespace mv::secured
