// What the Encrypt and Decrypt dialogs offer to process, worked out from the main file list
// alone so the rules hold the same for both dialogs and can be checked without a window.
#pragma once

namespace mv::crypto {

// The main file list as the dialogs see it when they open.
enum class FileListState {
    Empty,        // no entries at all
    SomeSelected, // at least one entry selected
    NoneSelected, // entries, but none selected
};

// The two options and the box: "selected files only" chosen or else "all displayed files",
// whether "selected files only" can be chosen, and "Include sub-directories" ticked.
struct ScopeOptions {
    bool selectedOnly = false;
    bool selectedEnabled = true;
    bool includeSubs = false;

    friend bool operator==(const ScopeOptions&, const ScopeOptions&) = default;
};

// The options after a click on the box, and whether the click was refused with a beep.
struct ScopeChange {
    ScopeOptions options;
    bool beep = false;
};

// The options the dialogs open with.
[[nodiscard]] ScopeOptions openingOptions(FileListState list);

// `IncludeSubsChk_Click`: `current` already carries the box's new tick.
[[nodiscard]] ScopeChange IncludeSubsChk_Click(ScopeOptions current, FileListState list);

} // namespace mv::crypto
