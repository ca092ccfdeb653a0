// The crypto dialogs driven through the real widgets: Encrypt with its confirmation (which keys
// are asked twice, what a slip or a cancel does, and what reaches the batch), what AskKey leaves
// behind for the caller, short keys refused; Encrypt and Decrypt opened over the main file list's
// three states, and Decrypt holding on while its batch runs.
#include "../EncDecTestUser.h"
#include "DialogDriver.h"
#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/Confirm.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/Encrypt.h"
#include "widgets/KeyField.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv::crypto {
namespace {

using test::control;
using test::ModalWatch;
using test::typeKeyAndEnter;

using mvtest::plain;
using mvtest::secret;

// One Encrypt as the user meets it: opened over a list with a selection, a key typed and
// Begin pressed with Enter. Remembers what the batch was handed.
struct EncryptRun {
    explicit EncryptRun(KeyState& keys) : dialog(keys, FileListState::SomeSelected)
    {
        dialog.setRunner([this](QWidget* owner, const ScopeOptions& options, const SecretText& key) {
            ++batches;
            batchOwner = owner;
            batchOptions = options;
            batchKey = plain(key);
            stillOpen = dialog.isVisible();
        });
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    Encrypt dialog;
    int batches = 0;
    QWidget* batchOwner = nullptr;
    ScopeOptions batchOptions;
    std::string batchKey;
    bool stillOpen = false;
};

// Answers each Confirm with the next of `answers` (typed, then Enter; nullptr presses Esc)
// and each message box with OK, noting its text.
struct ConfirmScript {
    explicit ConfirmScript(std::vector<const char*> answers)
        : answers_(std::move(answers)), watch_([this](QWidget* w) { answer(w); })
    {
    }

    void ignore(QWidget* w) { watch_.ignore(w); }

    int confirms = 0;
    QStringList messages;

private:
    void answer(QWidget* w)
    {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages << box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        ASSERT_NE(qobject_cast<Confirm*>(w), nullptr) << w->metaObject()->className();
        const int n = confirms++;
        if (n >= int(answers_.size()) || !answers_[n]) {
            QTest::keyClick(w, Qt::Key_Escape);
            return;
        }
        typeKeyAndEnter(w, QString::fromUtf8(answers_[n]));
    }

    std::vector<const char*> answers_;
    ModalWatch watch_;
};

// Each run types `typed` and answers the confirmations with `answers`; the key cache grows as
// `cached` says.
TEST(Encrypt, ConfirmationIsAskedOnlyTheFirstTimeAKeyIsUsedAndASlipAsksAgain)
{
    struct Run {
        const char* what;
        const char* typed;
        std::vector<const char*> answers;
        int confirms;
        QStringList messages;
        size_t cached;
    };
    const Run runs[] = {
        {"a new key", "Secret1", {"Secret1"}, 1, {}, 1},
        {"the same key again: straight to the batch", "Secret1", {}, 0, {}, 1},
        {"case matters: another key, and both stay", "secret1", {"secret1"}, 1, {}, 2},
        {"a slip, told, and the confirmation asked again",
         "Secret3",
         {"Secret2", "Secret3"},
         2,
         {QStringLiteral("The key you entered is not the same.")},
         3},
    };
    KeyState keys;
    for (const Run& r : runs) {
        SCOPED_TRACE(r.what);
        EncryptRun run(keys);
        ConfirmScript script(r.answers);
        script.ignore(&run.dialog);
        typeKeyAndEnter(&run.dialog, QString::fromUtf8(r.typed));
        EXPECT_EQ(script.confirms, r.confirms);
        EXPECT_EQ(script.messages, r.messages);
        ASSERT_EQ(run.batches, 1);
        EXPECT_EQ(run.batchKey, r.typed);
        EXPECT_EQ(run.batchOwner, &run.dialog);
        EXPECT_TRUE(run.batchOptions.selectedOnly);
        EXPECT_TRUE(run.stillOpen) << "the batch reads the dialog while it runs";
        EXPECT_TRUE(keys.EncryptMode);
        EXPECT_FALSE(run.dialog.isVisible());
        EXPECT_TRUE(control<QLineEdit>(&run.dialog, "KeyString")->text().isEmpty());
        EXPECT_EQ(keys.KeyCache().size(), r.cached);
        EXPECT_TRUE(keys.contains(secret(r.typed)));
    }
    EXPECT_FALSE(keys.contains(secret("Secret2"))) << "the slip is never remembered";
}

// A cancelled confirmation used to empty the key box and leave the focus nowhere; the dialog
// stays as it was, and Enter alone asks for the confirmation again. A short key is never taken.
TEST(Encrypt, CancelledOrEmptyConfirmationKeepsTheKeyAndTheFocusWithNothingStarted)
{
    KeyState keys;
    EncryptRun run(keys);
    // Esc on the first confirmation, Enter on an empty box on the second.
    ConfirmScript script({nullptr, ""});
    script.ignore(&run.dialog);
    auto* begin = control<QPushButton>(&run.dialog, "BeginBut");
    auto* field = control<widgets::KeyField>(&run.dialog, "KeyString");

    // No key of three characters: Enter does nothing and Begin waits for a fourth.
    typeKeyAndEnter(&run.dialog, QStringLiteral("Sec"));
    EXPECT_EQ(script.confirms, 0);
    EXPECT_FALSE(begin->isEnabled());
    typeKeyAndEnter(&run.dialog, QStringLiteral("ret1"));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (attempt > 1)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(script.confirms, attempt);
        EXPECT_TRUE(run.dialog.isVisible()) << attempt;
        EXPECT_EQ(run.batches, 0) << attempt;
        EXPECT_TRUE(keys.KeyCache().empty()) << attempt;
        EXPECT_EQ(plain(field->key()), "Secret1") << attempt;
        EXPECT_TRUE(begin->isEnabled()) << attempt;
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field; })) << attempt;
    }
    EXPECT_TRUE(script.messages.isEmpty());

    QTest::keyClick(&run.dialog, Qt::Key_Escape);
    EXPECT_FALSE(run.dialog.isVisible());
    EXPECT_EQ(run.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(run.batches, 0);
    EXPECT_EQ(field->key().size(), 0u) << "a closed dialog keeps no key";
}

TEST(AskKey, CancelSetsKeyCancelledAndDecryptAddsTheKeyOnce)
{
    KeyState keys;
    // Esc, then the window's close button, then a short key made a key, then the same key again.
    int step = 0;
    ModalWatch watch([&](QWidget* w) {
        switch (step++) {
        case 0: QTest::keyClick(w, Qt::Key_Escape); break;
        case 1: w->close(); break;
        case 2:
            // No key of three characters: Enter does nothing and the button waits for a fourth.
            typeKeyAndEnter(w, QStringLiteral("Doo"));
            EXPECT_TRUE(w->isVisible());
            EXPECT_FALSE(control<QPushButton>(w, "DecryptBut")->isEnabled());
            typeKeyAndEnter(w, QStringLiteral("r"));
            break;
        default: typeKeyAndEnter(w, QStringLiteral("Door")); break;
        }
    });

    for (int cancel = 0; cancel < 2; ++cancel) {
        keys.KeyCancelled = false;
        EXPECT_FALSE(AskKey::ask(keys, nullptr)) << cancel;
        EXPECT_TRUE(keys.KeyCancelled) << cancel;
        EXPECT_TRUE(keys.KeyCache().empty()) << cancel;
    }

    EXPECT_TRUE(AskKey::ask(keys, nullptr));
    EXPECT_FALSE(keys.KeyCancelled);
    ASSERT_EQ(keys.KeyCache().size(), 1u);
    EXPECT_TRUE(keys.KeyCache()[0] == SecretText::fromText(QStringLiteral("Door")));

    // A key already known is not added twice, and still counts as given.
    keys.KeyCancelled = true;
    EXPECT_TRUE(AskKey::ask(keys, nullptr));
    EXPECT_FALSE(keys.KeyCancelled);
    EXPECT_EQ(keys.KeyCache().size(), 1u);
    EXPECT_EQ(watch.seen(), 4);
}

// The options as the dialog's controls show them.
ScopeOptions shown(const BatchDialog& dialog)
{
    const ScopeOptions options = dialog.options();
    // The two options exclude each other: exactly one is chosen.
    const QByteArray all = dialog.objectName().toLatin1() + "AllOption";
    EXPECT_NE(control<QRadioButton>(&dialog, all.constData())->isChecked(), options.selectedOnly);
    return options;
}

// An empty list offers the whole tree and refuses to clear the tick, by mouse or key; else the
// tick takes the whole tree and clearing it gives back what the list offered. (Decrypt has the
// same controls from the same base: it is opened with a selection only.)
TEST(BatchDialogs, OptionsFollowTheFileListAndTheSubFolderBox)
{
    constexpr ScopeOptions kTree {.selectedOnly = false, .selectedEnabled = false, .includeSubs = true};
    constexpr ScopeOptions kAll {.selectedOnly = false, .selectedEnabled = false, .includeSubs = false};
    constexpr ScopeOptions kSelected {.selectedOnly = true, .selectedEnabled = true, .includeSubs = false};
    const std::pair<FileListState, ScopeOptions> lists[] = {{FileListState::Empty, kTree},
                                                            {FileListState::SomeSelected, kSelected},
                                                            {FileListState::NoneSelected, kAll}};
    KeyState keys;
    for (const auto& [list, offered] : lists) {
        SCOPED_TRACE(int(list));
        Encrypt dialog(keys, list);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(shown(dialog), offered);
        auto* subs = control<QCheckBox>(&dialog, "IncludeSubsChk");
        QTest::mouseClick(subs, Qt::LeftButton);
        EXPECT_EQ(shown(dialog), kTree);
        subs->setFocus();
        QTest::keyClick(subs, Qt::Key_Space);
        EXPECT_EQ(shown(dialog), offered);
    }
    // With a selection the user may still choose the whole folder without its sub-folders.
    Decrypt dialog(keys, FileListState::SomeSelected);
    EXPECT_EQ(shown(dialog), kSelected);
    control<QRadioButton>(&dialog, "DecryptAllOption")->click();
    EXPECT_EQ(shown(dialog),
              (ScopeOptions {.selectedOnly = false, .selectedEnabled = true, .includeSubs = false}));
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
}

} // namespace
} // namespace mv::crypto
