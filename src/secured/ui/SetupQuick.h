// `SetupQuick`: the setup window of the Secured Access List. The user adds programs (with a
// title and the key of their files), their parameters and their associated files; added files
// are encrypted at once and removed ones decrypted, through the list jobs under `EncStat`.
// Every change is saved to the store as it is made.
#pragma once

#include "crypto/SecretText.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::secured {

class QuickListState;

class SetupQuick : public QDialog {
    Q_OBJECT

public:
    // Opened only while no entry's program runs: entries may be renumbered here.
    SetupQuick(QuickListState& state, crypto::KeyState& keys, QWidget* owner);
    ~SetupQuick() override;

    // The questions this window asks, replaceable by tests. By default: Qt's file dialogs
    // (`GetProg`, `GetData`; a cancel is a choice of nothing, an empty answer), a Yes/No
    // message box, a message, `ProgTitle` and `AsscKey`.
    std::function<QString(const QString& preset)> GetProg;
    std::function<QStringList(const QString& preset)> GetData;
    std::function<bool(const QString& question)> askYesNo;
    std::function<void(const QString& text)> tell;
    std::function<QString(const QString& ProgramTitle)> askTitle;
    std::function<crypto::SecretText()> askKey;

    void UpdateButtons();
    void QuickListView_Click();
    void Param_Change();
    void ParamBut_Click();
    void BrowseBut_Click();
    void AddBut_Click();
    void RemoveBut_Click();
    void DeleteBut_Click();

private:
    void buildControls();
    void Form_Load();
    // The number of the selected entry; 0 when none is selected.
    [[nodiscard]] int selectedEntry() const;
    [[nodiscard]] QStringList listedFiles() const;
    // Decrypts the selected file, or every file while deleting the entry, and drops from the
    // list what is no longer encrypted (or what the user lets go). False when the key
    // question was cancelled: then nothing changed.
    bool removeFiles(bool RemovingAll);
    // Encrypts the entry's files with its key, asking for the key first when it has none.
    void encryptEntryFiles(int n);

    QuickListState& state_;
    crypto::KeyState& keys_;
    QListWidget* QuickListView_;
    QLineEdit* QuickProg_;
    QLineEdit* Param_;
    QPushButton* ParamBut_;
    QListWidget* QuickFiles_;
    QPushButton* AddBut_;
    QPushButton* RemoveBut_;
    QPushButton* BrowseBut_;
    QPushButton* DeleteBut_;
    QPushButton* ExitBut_;
};

} // namespace mv::secured
