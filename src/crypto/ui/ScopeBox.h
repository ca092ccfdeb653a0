// The choice shared by the Encrypt and Decrypt dialogs: the selected files only, or every
// file the list displays, with or without the sub-folders.
#pragma once

#include "crypto/DialogOptions.h"

#include <QWidget>

class QCheckBox;
class QRadioButton;

namespace mv::crypto {

class ScopeBox : public QWidget {
    Q_OBJECT

public:
    // `selectedText` and `allText` are the two options' texts; `prefix` names them as the
    // dialog's options are named ("Encrypt" -> EncryptSelOption, EncryptAllOption).
    ScopeBox(const QString& selectedText, const QString& allText, const QString& prefix, FileListState list,
             QWidget* parent = nullptr);

    [[nodiscard]] ScopeOptions options() const;
    // The last control of the box, for the dialog's Tab order.
    [[nodiscard]] QWidget* lastControl() const;

    void IncludeSubsChk_Click();

private:
    void showOptions(const ScopeOptions& options);

    FileListState list_;
    QRadioButton* selectedOption_;
    QRadioButton* allOption_;
    QCheckBox* IncludeSubsChk_;
};

} // namespace mv::crypto
