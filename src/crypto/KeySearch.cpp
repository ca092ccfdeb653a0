#include "crypto/KeySearch.h"

#include "crypto/KeyState.h"

namespace mv::crypto {

KeySearchResult searchKey(const QString& file, KeyState& state, KeyAsker& asker, const KeyTrial& trial,
                          const KeySearchOptions& options)
{
    KeySearchResult result;
    for (;;) {
        std::vector<SecretText> keys = state.keysToTry(options.first);
        if (!keys.empty()) {
            const KeyTry tried = trial(keys);
            if (tried.kind == KeyTry::Opened && tried.keyIndex >= 0 && size_t(tried.keyIndex) < keys.size()) {
                result.kind = KeySearchResult::Opened;
                result.key = std::move(keys[size_t(tried.keyIndex)]);
                return result;
            }
            if (tried.kind != KeyTry::NoneFits) {
                result.kind = KeySearchResult::Settled;
                return result;
            }
        }
        if (!asker.askKey(file, state)) {
            state.KeyCancelled = true;
            result.kind = KeySearchResult::Cancelled;
            return result;
        }
        // A key typed again that was already remembered still does not fit: the next round
        // asks once more, as the user expects.
        state.KeyCancelled = false;
    }
}

} // namespace mv::crypto
