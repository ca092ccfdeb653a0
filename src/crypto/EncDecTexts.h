// What the user is told when an encryption or decryption run has ended.
#pragma once

#include "crypto/EncDecBatch.h"

#include <QString>

namespace mv::crypto {

// The count + " file(s) already encrypted and were skiped." (or decrypted); empty when no
// file was passed over for being in the wanted state already.
QString passedOverText(const EncDecResult& result, bool encrypt);

// One message naming the files that could not be encrypted (decrypted) and why, then those
// passed over with a note; empty when there were none. Long lists are cut short.
QString problemsText(const EncDecResult& result, bool encrypt);

} // namespace mv::crypto
