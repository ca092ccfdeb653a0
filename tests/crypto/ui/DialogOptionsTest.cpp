// The sub-folder box's rule where the widgets cannot show it.
#include "crypto/DialogOptions.h"

#include <gtest/gtest.h>

namespace mv::crypto {
namespace {

constexpr ScopeOptions kSelected {.selectedOnly = true, .selectedEnabled = true, .includeSubs = false};
constexpr ScopeOptions kTree {.selectedOnly = false, .selectedEnabled = false, .includeSubs = true};

// The dialogs' tests drive every opening and every click through the widgets; what they
// cannot see is which click beeps, and the rule's last branch for options they never offer.
TEST(DialogOptions, IncludeSubsClickBeepsOnlyWhenAnEmptyFolderWouldLoseItsWork)
{
    ScopeOptions cleared = kTree;
    cleared.includeSubs = false;
    const ScopeChange refused = IncludeSubsChk_Click(cleared, FileListState::Empty);
    EXPECT_EQ(refused.options, kTree);
    EXPECT_TRUE(refused.beep);

    EXPECT_FALSE(IncludeSubsChk_Click(kTree, FileListState::Empty).beep);
    EXPECT_FALSE(IncludeSubsChk_Click(cleared, FileListState::SomeSelected).beep);

    // Cleared with entries but none selected: whatever was chosen stays.
    ScopeOptions odd = kSelected;
    odd.selectedEnabled = false;
    const ScopeChange kept = IncludeSubsChk_Click(odd, FileListState::NoneSelected);
    EXPECT_EQ(kept.options, odd);
    EXPECT_FALSE(kept.beep);
}

} // namespace
} // namespace mv::crypto
