// Every dialog of the program, each made over state of the test's own and known by its object
// name: the accessibility and the German window tests go through the same list.
#pragma once

#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/Confirm.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/EncDecProcess.h"
#include "crypto/ui/Encrypt.h"
#include "fileutil/ui/AssociationDialog.h"
#include "fileutil/ui/DeleteStatus.h"
#include "secured/QuickListState.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/EncStat.h"
#include "secured/ui/ProgTitle.h"
#include "secured/ui/SetupQuick.h"
#include "shell/AssociationStore.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/HelpWindow.h"

#include <functional>
#include <memory>
#include <vector>

namespace mv::shell::test {

struct EveryDialog {
    struct Dialog {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
    };

    crypto::KeyState keys;
    secured::QuickListState quick;
    AssociationStore associations;
    const std::vector<Dialog> all {
        {"Encrypt",
         [this] { return std::make_unique<crypto::Encrypt>(keys, crypto::FileListState::SomeSelected); }},
        {"Decrypt",
         [this] { return std::make_unique<crypto::Decrypt>(keys, crypto::FileListState::SomeSelected); }},
        {"Confirm", [] { return std::make_unique<crypto::Confirm>(); }},
        {"AskKey", [this] { return std::make_unique<crypto::AskKey>(keys); }},
        {"EncDecProcess",
         [] { return std::make_unique<crypto::EncDecProcess>(crypto::EncDecJob {}, nullptr); }},
        {"EncStat", [this] { return std::make_unique<secured::EncStat>(true, keys, nullptr); }},
        {"AsscKey", [this] { return std::make_unique<secured::AsscKey>(keys, nullptr); }},
        {"SetupQuick", [this] { return std::make_unique<secured::SetupQuick>(quick, keys, nullptr); }},
        {"ProgTitle", [] { return std::make_unique<secured::ProgTitle>(QStringLiteral("Editor"), nullptr); }},
        {"frmAsc",
         [this] {
             return std::make_unique<fileutil::AssociationDialog>(associations,
                                                                  QStringLiteral("/usr/bin/mirravelnock"));
         }},
        {"frmStatus", [] { return std::make_unique<fileutil::DeleteStatus>(true, nullptr); }},
        {"AboutDialog", [] { return std::make_unique<AboutDialog>(); }},
        {"HelpWindow", [] { return std::make_unique<HelpWindow>(); }},
    };
};

} // namespace mv::shell::test
