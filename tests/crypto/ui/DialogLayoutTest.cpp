// Whether every text of the four dialogs shows uncut, and the keyboard's way through them.
#include "DialogDriver.h"
#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/Confirm.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/Encrypt.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mv::crypto {
namespace {

using test::control;

struct Expected {
    const char* title;
    std::vector<const char*> tabOrder; // the controls that take the focus, in the keyboard's order
};

std::vector<std::string> focusChain(QWidget* dialog)
{
    std::vector<std::string> names;
    for (QWidget* w = dialog->nextInFocusChain(); w != dialog; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
            names.push_back(w->objectName().toStdString());
    }
    return names;
}

void checkUncut(QWidget* dialog)
{
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w))
            continue;
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        EXPECT_GE(w->height(), w->sizeHint().height()) << w->objectName().toStdString();
        EXPECT_TRUE(dialog->rect().contains(QRect(w->mapTo(dialog, QPoint(0, 0)), w->size())))
            << w->objectName().toStdString();
    }
    EXPECT_LE(dialog->width(), dialog->screen()->availableGeometry().width());
}

TEST(CryptoDialogs, ShowTheirTextsUncutAndTakeTheKeyboardInOrder)
{
    KeyState keys;
    std::vector<std::pair<std::unique_ptr<QDialog>, Expected>> dialogs;
    dialogs.emplace_back(std::make_unique<Encrypt>(keys, FileListState::SomeSelected),
                         Expected {"Mirravelnock! - Encrypt",
                                   {"EncryptSelOption", "EncryptAllOption", "IncludeSubsChk", "KeyString",
                                    "BeginBut", "CancelBut"}});
    dialogs.emplace_back(std::make_unique<Confirm>(),
                         Expected {"Mirravelnock! - Confirm key", {"KeyString", "AcceptBut", "CancelBut"}});
    dialogs.emplace_back(
        std::make_unique<Decrypt>(keys, FileListState::SomeSelected),
        Expected {"Mirravelnock! - Decrypt",
                  {"DecryptSelOption", "DecryptAllOption", "IncludeSubsChk", "BeginBut", "CancelBut"}});
    dialogs.emplace_back(std::make_unique<AskKey>(keys),
                         Expected {"Mirravelnock! - Enter Key", {"KeyString", "DecryptBut", "CancelBut"}});

    for (auto& [dialog, expected] : dialogs) {
        SCOPED_TRACE(expected.title);
        EXPECT_EQ(dialog->windowTitle().toStdString(), expected.title);
        EXPECT_TRUE(dialog->isModal());
        EXPECT_EQ(focusChain(dialog.get()),
                  std::vector<std::string>(expected.tabOrder.begin(), expected.tabOrder.end()));

        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        checkUncut(dialog.get());

        // The label's mnemonic reaches the key box.
        if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("KeyString"))) {
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
            control<QWidget>(dialog.get(), expected.tabOrder.back())->setFocus();
            QTest::keyClick(dialog.get(), Qt::Key_K, Qt::AltModifier);
            EXPECT_TRUE(field->hasFocus());
        }
        dialog->hide();
    }
}

} // namespace
} // namespace mv::crypto
