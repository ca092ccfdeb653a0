#pragma once

#include <QDialog>

namespace mv::shell {

// The About box: the product's name, version and purpose, and the maker's contact lines.
// Modal; OK (the default button), Enter and Esc close it. Sized to its contents before it is
// shown, so the owner can centre it at once.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* owner = nullptr);

    // The maker's placeholder addresses, also what Help > Browse to... > Home Page opens.
    static QString webSite();
    static QString supportEmail();
};

} // namespace mv::shell
