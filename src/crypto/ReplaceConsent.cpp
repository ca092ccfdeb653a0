#include "crypto/ReplaceConsent.h"

namespace mv::crypto {

CryptOutcome withConsent(const QString& file, CryptOptions options, ReplaceConsent& consent,
                         ReplaceAsker& asker, const std::function<CryptOutcome(const CryptOptions&)>& work)
{
    options.replaceExisting = consent.replaceAll;
    CryptOutcome out = work(options);
    if (out.kind != CryptOutcome::TargetExists)
        return out;
    using Answer = ReplaceAsker::ReplaceAnswer;
    switch (asker.askReplace(file, out.target)) {
    case Answer::ReplaceAll: consent.replaceAll = true; [[fallthrough]];
    case Answer::Replace: options.replaceExisting = true; return work(options);
    case Answer::Skip: break;
    case Answer::Cancel: consent.cancelled = true; break;
    }
    return out;
}

} // namespace mv::crypto
