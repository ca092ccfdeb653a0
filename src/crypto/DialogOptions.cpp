#include "crypto/DialogOptions.h"

namespace mv::crypto {

namespace {

// A whole folder (or tree) is processed: picking single files makes no sense then.
ScopeOptions allDisplayed(bool includeSubs)
{
    return ScopeOptions {.selectedOnly = false, .selectedEnabled = false, .includeSubs = includeSubs};
}

} // namespace

ScopeOptions openingOptions(FileListState list)
{
    switch (list) {
    case FileListState::Empty:
        // Nothing to pick from in this folder, so only its sub-folders can hold work.
        return allDisplayed(true);
    case FileListState::SomeSelected:
        return ScopeOptions {.selectedOnly = true, .selectedEnabled = true, .includeSubs = false};
    case FileListState::NoneSelected: break;
    }
    return allDisplayed(false);
}

ScopeChange IncludeSubsChk_Click(ScopeOptions current, FileListState list)
{
    if (current.includeSubs)
        return {allDisplayed(true), false};
    switch (list) {
    case FileListState::SomeSelected:
        return {ScopeOptions {.selectedOnly = true, .selectedEnabled = true, .includeSubs = false}, false};
    case FileListState::Empty:
        // Without sub-folders an empty folder leaves nothing to process: refuse the change.
        return {allDisplayed(true), true};
    case FileListState::NoneSelected: break;
    }
    return {current, false};
}

} // namespace mv::crypto
