#pragma once

#include "shell/SettingsCatalogue.h"

#include <QString>

#include <vector>

namespace mv::shell {

class RegDocument;

// One change to a value of the "Settings" section, as it travels from the window to the
// store.
struct SettingChange {
    enum class Op {
        Set,
        Remove,
        // Removes the value only when it still holds `text`: a marker another copy may have
        // replaced meanwhile ("hWnd", the "StartupImage" mailbox) is left alone.
        RemoveIfEquals,
    };
    Setting which;
    Op op = Op::Set;
    QString text;
};

// Applies `changes` to the section at `keyPath`, in order; returns whether the document
// changed.
bool applySettingChanges(RegDocument& doc, const QString& keyPath, const std::vector<SettingChange>& changes);

// The positions, in order, of the changes that still matter for the store's final state:
// what is left to write when an attempt failed. A later plain write or removal of a value
// makes every earlier change of it moot.
std::vector<size_t> stillNeededChanges(const std::vector<SettingChange>& changes);

} // namespace mv::shell
