// A scripted user for batch runs: answers each question from a script and records what it
// was asked and which files the progress named, in order.
#pragma once

#include "crypto/EncDecBatch.h"
#include "crypto/KeyState.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace mvtest {

inline mv::crypto::SecretText secret(const char* text)
{
    return mv::crypto::SecretText::fromBytes(text, std::strlen(text));
}

// A key's bytes, to compare and print.
inline std::string plain(const mv::crypto::SecretText& key)
{
    return std::string(key.data() ? key.data() : "", key.size());
}

class EncDecTestUser : public mv::crypto::EncDecCallbacks {
public:
    // Typed in turn at each key question; the end of the list cancels.
    std::vector<std::string> keyAnswers;
    QStringList keyAsked;
    QList<ReplaceAnswer> replaceAnswers; // the end of the list cancels
    QList<QPair<QString, QString>> replaceAsked;
    bool wipeLeftovers = false;
    QStringList leftoversAsked;
    QStringList started; // each file the progress named, once, in order
    std::function<void(const mv::crypto::EncDecProgress&)> onProgress;

    bool askKey(const QString& file, mv::crypto::KeyState& keys) override
    {
        keyAsked.append(file);
        if (keyAnswers.empty())
            return false;
        keys.append(mv::crypto::SecretText::fromBytes(keyAnswers.front().data(), keyAnswers.front().size()));
        keyAnswers.erase(keyAnswers.begin());
        return true;
    }
    ReplaceAnswer askReplace(const QString& file, const QString& target) override
    {
        replaceAsked.append({file, target});
        return replaceAnswers.isEmpty() ? ReplaceAnswer::Cancel : replaceAnswers.takeFirst();
    }
    bool askWipeLeftovers(const QStringList& files) override
    {
        leftoversAsked = files;
        return wipeLeftovers;
    }
    void progress(const mv::crypto::EncDecProgress& progress) override
    {
        if (!progress.file.isEmpty() && (started.isEmpty() || started.constLast() != progress.file))
            started.append(progress.file);
        if (onProgress)
            onProgress(progress);
    }
};

} // namespace mvtest
