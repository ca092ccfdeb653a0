// Encrypt and Decrypt opened over the main file list's three states, and Decrypt holding on
// while its batch runs.
#include "DialogDriver.h"
#include "crypto/KeyState.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/Encrypt.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace mv::crypto {
namespace {

using test::control;

std::unique_ptr<BatchDialog> open(const char* prefix, KeyState& keys, FileListState list)
{
    if (QByteArray(prefix) == "Encrypt")
        return std::make_unique<Encrypt>(keys, list);
    return std::make_unique<Decrypt>(keys, list);
}

// The options as the dialog's controls show them.
ScopeOptions shown(const BatchDialog& dialog, const char* prefix)
{
    const ScopeOptions options = dialog.options();
    // The two options exclude each other: exactly one is chosen.
    const QByteArray all = QByteArray(prefix) + "AllOption";
    EXPECT_NE(control<QRadioButton>(&dialog, all.constData())->isChecked(), options.selectedOnly);
    return options;
}

// An empty list offers the whole tree and refuses to clear the tick, by mouse or key; else the
// tick takes the whole tree and clearing it gives back what the list offered.
TEST(BatchDialogs, OptionsFollowTheFileListAndTheSubFolderBox)
{
    constexpr ScopeOptions kTree {.selectedOnly = false, .selectedEnabled = false, .includeSubs = true};
    constexpr ScopeOptions kAll {.selectedOnly = false, .selectedEnabled = false, .includeSubs = false};
    constexpr ScopeOptions kSelected {.selectedOnly = true, .selectedEnabled = true, .includeSubs = false};
    const std::pair<FileListState, ScopeOptions> lists[] = {{FileListState::Empty, kTree},
                                                            {FileListState::SomeSelected, kSelected},
                                                            {FileListState::NoneSelected, kAll}};
    KeyState keys;
    for (const char* prefix : {"Encrypt", "Decrypt"}) {
        for (const auto& [list, offered] : lists) {
            SCOPED_TRACE(std::string(prefix) + " " + std::to_string(int(list)));
            auto dialog = open(prefix, keys, list);
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
            EXPECT_EQ(shown(*dialog, prefix), offered);
            auto* subs = control<QCheckBox>(dialog.get(), "IncludeSubsChk");
            QTest::mouseClick(subs, Qt::LeftButton);
            EXPECT_EQ(shown(*dialog, prefix), kTree);
            subs->setFocus();
            QTest::keyClick(subs, Qt::Key_Space);
            EXPECT_EQ(shown(*dialog, prefix), offered);
        }
        // With a selection the user may still choose the whole folder without its sub-folders.
        auto dialog = open(prefix, keys, FileListState::SomeSelected);
        control<QRadioButton>(dialog.get(), (QByteArray(prefix) + "AllOption").constData())->click();
        EXPECT_EQ(shown(*dialog, prefix),
                  (ScopeOptions {.selectedOnly = false, .selectedEnabled = true, .includeSubs = false}));
    }
}

TEST(BatchDialogs, DecryptStaysOpenAndRefusesToCloseWhileItsBatchRuns)
{
    KeyState keys;
    keys.EncryptMode = true;
    Decrypt dialog(keys, FileListState::NoneSelected);
    int batches = 0;
    bool busyDuring = false;
    bool openAfterClose = false;
    ScopeOptions given;
    dialog.setRunner([&](QWidget* owner, const ScopeOptions& options) {
        ++batches;
        EXPECT_EQ(owner, &dialog);
        given = options;
        busyDuring = dialog.Busy();
        EXPECT_FALSE(keys.EncryptMode);
        // Esc, the window's close button and Cancel are all refused while the batch runs.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        control<QPushButton>(&dialog, "CancelBut")->click();
        openAfterClose = dialog.isVisible();
    });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    control<QCheckBox>(&dialog, "IncludeSubsChk")->click();

    auto* begin = control<QPushButton>(&dialog, "BeginBut");
    EXPECT_TRUE(begin->isEnabled() && begin->isDefault());
    QTest::keyClick(&dialog, Qt::Key_Return);

    EXPECT_EQ(batches, 1);
    EXPECT_TRUE(busyDuring);
    EXPECT_TRUE(openAfterClose);
    EXPECT_TRUE(given.includeSubs);
    EXPECT_FALSE(given.selectedOnly);
    EXPECT_FALSE(dialog.Busy());
    EXPECT_FALSE(dialog.isVisible()) << "closes once the batch has returned";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
} // namespace mv::crypto
