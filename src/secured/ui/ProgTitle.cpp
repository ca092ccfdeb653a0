#include "secured/ui/ProgTitle.h"

#include "widgets/Centering.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::secured {

ProgTitle::ProgTitle(const QString& ProgramTitle, QWidget* owner)
    : QDialog(owner), Title_(new QLineEdit(ProgramTitle, this)), OKBut_(new QPushButton(tr("OK"), this))
{
    setObjectName(QStringLiteral("ProgTitle"));
    setWindowTitle(tr("Mirravelnock! - Program Title"));
    setModal(true);
    auto* label =
        new QLabel(tr("Enter the title you want to appear in the Quick List for this program :"), this);
    label->setBuddy(Title_);
    Title_->setObjectName(QStringLiteral("Title"));
    OKBut_->setObjectName(QStringLiteral("OKBut"));
    OKBut_->setDefault(true);
    OKBut_->setAutoDefault(false);
    OKBut_->setEnabled(!blank());
    connect(Title_, &QLineEdit::textChanged, this, [this] { OKBut_->setEnabled(!blank()); });
    connect(OKBut_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Title_);
    layout->addWidget(OKBut_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Title_->selectAll();
    Title_->setFocus();
}

QString ProgTitle::ask(const QString& ProgramTitle, QWidget* owner)
{
    ProgTitle window(ProgramTitle, owner);
    window.adjustSize();
    widgets::CenterOnOwner(&window, owner);
    // Only a quit closes it otherwise than through done(): the title then stays as it was.
    if (window.exec() != QDialog::Accepted)
        return ProgramTitle;
    return window.ProgramTitle();
}

QString ProgTitle::ProgramTitle() const
{
    return Title_->text();
}

bool ProgTitle::blank() const
{
    // Only the spaces at the end are dropped for this test, the title itself is kept as typed:
    // a title of spaces alone is blank, any other character makes one.
    QString text = Title_->text();
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text.isEmpty();
}

void ProgTitle::done(int)
{
    // OK, Esc and the close box all end here; the title is taken in every case.
    if (blank()) {
        QApplication::beep();
        return;
    }
    QDialog::done(QDialog::Accepted);
}

} // namespace mv::secured
