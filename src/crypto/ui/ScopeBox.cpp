#include "crypto/ui/ScopeBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace mv::crypto {

ScopeBox::ScopeBox(const QString& selectedText, const QString& allText, const QString& prefix,
                   FileListState list, QWidget* parent)
    : QWidget(parent), list_(list), selectedOption_(new QRadioButton(selectedText, this)),
      allOption_(new QRadioButton(allText, this)),
      IncludeSubsChk_(new QCheckBox(tr("&Include sub-directories (folders)"), this))
{
    selectedOption_->setObjectName(prefix + QStringLiteral("SelOption"));
    allOption_->setObjectName(prefix + QStringLiteral("AllOption"));
    IncludeSubsChk_->setObjectName(QStringLiteral("IncludeSubsChk"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(fontMetrics().averageCharWidth() * 3, 0, 0, 0);
    layout->addWidget(selectedOption_);
    layout->addWidget(allOption_);
    layout->addWidget(IncludeSubsChk_);

    showOptions(openingOptions(list));
    // clicked, not toggled: only the user's own clicks run the rule, not the box's own updates.
    connect(IncludeSubsChk_, &QCheckBox::clicked, this, &ScopeBox::IncludeSubsChk_Click);
}

ScopeOptions ScopeBox::options() const
{
    return ScopeOptions {.selectedOnly = selectedOption_->isChecked(),
                         .selectedEnabled = selectedOption_->isEnabled(),
                         .includeSubs = IncludeSubsChk_->isChecked()};
}

QWidget* ScopeBox::lastControl() const
{
    return IncludeSubsChk_;
}

void ScopeBox::IncludeSubsChk_Click()
{
    const ScopeChange change = mv::crypto::IncludeSubsChk_Click(options(), list_);
    if (change.beep)
        QApplication::beep();
    showOptions(change.options);
}

void ScopeBox::showOptions(const ScopeOptions& options)
{
    const QSignalBlocker blocker(IncludeSubsChk_);
    selectedOption_->setEnabled(options.selectedEnabled);
    (options.selectedOnly ? selectedOption_ : allOption_)->setChecked(true);
    IncludeSubsChk_->setChecked(options.includeSubs);
}

} // namespace mv::crypto
