#include "crypto/KeyState.h"

#include <mvengine/engine.h>

#include <QMutexLocker>

#include <algorithm>

namespace mv::crypto {

KeyState::KeyState(QObject* parent) : QObject(parent) {}

// The entries wipe themselves as the vector releases them; the engine's derived keys stay
// until "Clear Passwords" or the end of the process, which the engine handles itself.
KeyState::~KeyState() = default;

std::vector<SecretText> KeyState::usableKeys() const
{
    QMutexLocker lock(&mutex_);
    std::vector<SecretText> usable;
    for (const SecretText& key : keys_) {
        if (!key.isEmpty())
            usable.push_back(key);
    }
    return usable;
}

std::vector<SecretText> KeyState::keysToTry(const SecretText& first) const
{
    std::vector<SecretText> keys;
    if (!first.isEmpty())
        keys.push_back(first);
    for (SecretText& key : usableKeys()) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(std::move(key));
    }
    return keys;
}

bool KeyState::contains(const SecretText& key) const
{
    QMutexLocker lock(&mutex_);
    return std::find(keys_.begin(), keys_.end(), key) != keys_.end();
}

bool KeyState::append(const SecretText& key)
{
    {
        QMutexLocker lock(&mutex_);
        if (key.isEmpty() || std::find(keys_.begin(), keys_.end(), key) != keys_.end())
            return false;
        keys_.push_back(key);
    }
    emit keysChanged(true);
    return true;
}

bool KeyState::hasKeys() const
{
    QMutexLocker lock(&mutex_);
    return std::any_of(keys_.begin(), keys_.end(), [](const SecretText& key) { return !key.isEmpty(); });
}

void KeyState::clearKeys()
{
    {
        QMutexLocker lock(&mutex_);
        for (SecretText& key : keys_)
            key.wipe();
    }
    // Emptied texts alone would leave the keys derived from them in the engine's cache, able
    // to open files until the process ends.
    mv_engine_clear_keys();
    emit keysChanged(false);
}

} // namespace mv::crypto
