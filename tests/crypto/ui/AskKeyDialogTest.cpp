// The key boxes' limits in Encrypt and AskKey, and what AskKey leaves behind for the caller.
#include "crypto/ui/AskKeyDialog.h"
#include "DialogDriver.h"
#include "crypto/KeyState.h"
#include "crypto/ui/EncryptDialog.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace mv::crypto {
namespace {

using test::control;
using test::ModalWatch;
using test::typeKeyAndEnter;

TEST(KeyDialogs, ThreeCharacterKeyCannotBeSubmitted)
{
    KeyState keys;
    EncryptDialog encrypt(keys, FileListState::SomeSelected);
    int batches = 0;
    encrypt.setRunner([&](QWidget*, const ScopeOptions&, const SecretText&) { ++batches; });
    AskKeyDialog askKey(keys);
    // A key taken anyway would open the confirmation: answered with Esc, and counted.
    ModalWatch unexpected([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });

    for (QDialog* dialog : {static_cast<QDialog*>(&encrypt), static_cast<QDialog*>(&askKey)}) {
        unexpected.ignore(dialog);
        const char* accept = dialog == &askKey ? "DecryptBut" : "BeginBut";
        auto* button = control<QPushButton>(dialog, accept);
        auto* field = control<QLineEdit>(dialog, "KeyString");
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_FALSE(button->isEnabled()) << accept << " at the start";
        EXPECT_TRUE(button->isDefault()) << accept;
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);

        // Enter on three characters does nothing: the dialog stays and nothing is taken.
        typeKeyAndEnter(dialog, QStringLiteral("abc"));
        EXPECT_FALSE(button->isEnabled()) << accept;
        EXPECT_TRUE(dialog->isVisible()) << accept;
        // The box holds a mask; the key itself lives in guarded memory.
        EXPECT_EQ(field->text().toStdString(), "***");

        QTest::keyClick(field, Qt::Key_D);
        EXPECT_TRUE(button->isEnabled()) << accept << " with four characters";
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_FALSE(button->isEnabled()) << accept << " back to three";

        // At most 255 characters are taken.
        field->clear();
        QTest::keyClicks(field, QString(300, QLatin1Char('k')));
        EXPECT_EQ(field->text().size(), 255);
        field->clear();
        dialog->hide();
    }
    EXPECT_EQ(batches, 0);
    EXPECT_EQ(unexpected.seen(), 0);
    EXPECT_TRUE(keys.KeyCache().empty());
}

TEST(AskKeyDialog, CancelSetsKeyCancelledAndDecryptAddsTheKeyOnce)
{
    KeyState keys;
    QStringList titles;
    // Esc, then the window's close button, then a key, then the same key again.
    int step = 0;
    ModalWatch watch([&](QWidget* w) {
        titles << w->windowTitle();
        switch (step++) {
        case 0: QTest::keyClick(w, Qt::Key_Escape); break;
        case 1: w->close(); break;
        default: typeKeyAndEnter(w, QStringLiteral("Door")); break;
        }
    });

    for (int cancel = 0; cancel < 2; ++cancel) {
        keys.KeyCancelled = false;
        EXPECT_FALSE(AskKeyDialog::ask(keys, nullptr)) << cancel;
        EXPECT_TRUE(keys.KeyCancelled) << cancel;
        EXPECT_TRUE(keys.KeyCache().empty()) << cancel;
    }

    EXPECT_TRUE(AskKeyDialog::ask(keys, nullptr));
    EXPECT_FALSE(keys.KeyCancelled);
    ASSERT_EQ(keys.KeyCache().size(), 1u);
    EXPECT_TRUE(keys.KeyCache()[0] == SecretText::fromText(QStringLiteral("Door")));

    // A key already known is not added twice, and still counts as given.
    keys.KeyCancelled = true;
    EXPECT_TRUE(AskKeyDialog::ask(keys, nullptr));
    EXPECT_FALSE(keys.KeyCancelled);
    EXPECT_EQ(keys.KeyCache().size(), 1u);

    EXPECT_EQ(watch.seen(), 4);
    for (const QString& title : titles)
        EXPECT_EQ(title.toStdString(), "Mirravelnock! - Enter Key");
}

} // namespace
} // namespace mv::crypto
