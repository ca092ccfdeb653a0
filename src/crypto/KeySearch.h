// Finding the key that opens an encrypted file, the same way on every decryption path (the
// batch, the viewer, the thumbnails, the list jobs): the remembered keys are tried in order
// and the user is asked only when none of them fits.
#pragma once

#include "crypto/SecretText.h"

#include <QString>

#include <functional>
#include <vector>

namespace mv::crypto {

class KeyState;

// The window's side of a search. Called on the thread that runs the search; a window whose
// search runs on a worker answers from its own thread (a blocking queued call).
class KeyAsker {
public:
    virtual ~KeyAsker() = default;
    // Shows `AskKey` for `file`, which appends the typed key to `keys`, as everywhere it is shown.
    // False when the user cancelled.
    virtual bool askKey(const QString& file, KeyState& keys) = 0;
};

// What one try with the keys in hand made of the file.
struct KeyTry {
    enum Kind {
        Opened,   // keys[keyIndex] opened it
        NoneFits, // the file is encrypted and none of the keys opens it
        Settled,  // the caller is done with the file another way (not encrypted, unreadable...)
    } kind = Settled;
    int keyIndex = -1;
};

// Tries `keys` (never empty) on the file; the caller keeps its own outcome.
using KeyTrial = std::function<KeyTry(const std::vector<SecretText>& keys)>;

struct KeySearchResult {
    enum Kind {
        Opened,
        Settled,
        Cancelled, // the user cancelled the key question; KeyCancelled is set
    } kind = Settled;
    SecretText key; // the key that opened the file
};

struct KeySearchOptions {
    // Tried before the cache (the viewer passes `CurrentKey`); empty for none.
    SecretText first;
};

// Tries the keys of `state.keysToTry(options.first)`. With no key to try, the user
// is asked before `trial` is called at all; when no key fits, the user is asked and the whole
// list is tried anew, the typed key now among them. A supplied key clears KeyCancelled, a
// cancelled question sets it and ends the search. `CurrentKey` is never changed. Safe on a
// worker thread.
KeySearchResult searchKey(const QString& file, KeyState& state, KeyAsker& asker, const KeyTrial& trial,
                          const KeySearchOptions& options = {});

} // namespace mv::crypto
