// The key cache, the key texts and the one key search every decryption path uses.
#include "crypto/KeyState.h"
#include "EncDecTestUser.h"
#include "crypto/KeySearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace mv::crypto;
using namespace mvtest;
using Keys = std::vector<std::string>;

namespace {

Keys plainAll(const std::vector<SecretText>& keys)
{
    Keys out;
    for (const SecretText& key : keys)
        out.push_back(plain(key));
    return out;
}

} // namespace

TEST(KeyStateTest, KeysAreExactTheirOwnCopiesAndDifferingInCaseBothKept)
{
    const SecretText key = SecretText::fromText(QStringLiteral("Schlüssel"));
    SecretText copy = key;
    copy.wipe();
    EXPECT_EQ(plainAll({key, copy}), (Keys {"Schl\xc3\xbcssel", ""}));
    const char withNul[] = {'a', '\0', 'b'};
    EXPECT_FALSE(SecretText::fromBytes(withNul, 3) == secret("a"));
    QString typed = QStringLiteral("typed key");
    const QString shared = typed;
    wipeString(typed); // never empties another holder's text behind its back
    EXPECT_TRUE(typed.isEmpty());
    EXPECT_EQ(shared, QStringLiteral("typed key"));

    KeyState state;
    EXPECT_TRUE(state.append(secret("Secret")));
    EXPECT_TRUE(state.append(secret("secret")));
    EXPECT_FALSE(state.append(secret("Secret")));
    EXPECT_FALSE(state.append(SecretText()));
    EXPECT_EQ(plainAll(state.KeyCache()), (Keys {"Secret", "secret"}));
    EXPECT_FALSE(state.contains(secret("Secret ")));
}

// Every decryption path tries the keys in one order: `CurrentKey` first, then the cache in the
// order typed, each key once and no cleared entry; once cleared only `CurrentKey` is left.
TEST(KeyStateTest, KeysToTryPutTheCurrentKeyFirstOnceAndLeaveClearedEntriesOut)
{
    KeyState state;
    EXPECT_FALSE(state.hasKeysToTry());
    for (const char* key : {"a", "b", "c"})
        state.append(secret(key));
    EXPECT_EQ(plainAll(state.keysToTry()), (Keys {"a", "b", "c"}));
    EXPECT_EQ(plainAll(state.keysToTry(secret("b"))), (Keys {"b", "a", "c"})); // as a worker asks
    state.CurrentKey = secret("z");
    EXPECT_EQ(plainAll(state.keysToTry()), (Keys {"z", "a", "b", "c"}));

    state.clearKeys();
    state.CurrentKey = secret("b");
    EXPECT_EQ(plainAll(state.keysToTry()), Keys {"b"});
    state.CurrentKey = SecretText();
    EXPECT_TRUE(state.keysToTry().empty());
    EXPECT_FALSE(state.hasKeysToTry());
}

// After "Clear Passwords" a file is not opened until its key is typed again; the emptied
// entries keep their places and `CurrentKey` stays.
TEST(KeySearchTest, AsksOnlyWhenNoKeyFitsStopsWhenCancelledAndAsksAgainOnceTheKeysAreCleared)
{
    KeyState state;
    EncDecTestUser asker;
    asker.keyAnswers = {"wrong", "right"};
    std::vector<Keys> tried;
    std::vector<qsizetype> askedBeforeTry;
    const KeyTrial rightOpens = [&](const std::vector<SecretText>& keys) {
        askedBeforeTry.push_back(asker.keyAsked.size());
        tried.push_back(plainAll(keys));
        const auto found = std::find(tried.back().begin(), tried.back().end(), "right");
        return found == tried.back().end() ? KeyTry {KeyTry::NoneFits, -1}
                                           : KeyTry {KeyTry::Opened, int(found - tried.back().begin())};
    };
    // An empty cache asks before the file is tried at all.
    state.KeyCancelled = true;
    KeySearchResult found = searchKey(QStringLiteral("/f"), state, asker, rightOpens);
    EXPECT_EQ(plainAll({found.key}), Keys {"right"});
    EXPECT_EQ(askedBeforeTry, (std::vector<qsizetype> {1, 2}));
    EXPECT_EQ(tried, (std::vector<Keys> {{"wrong"}, {"wrong", "right"}}));
    EXPECT_FALSE(state.KeyCancelled);

    // The viewer's current key goes first, once, and is left as it was.
    tried.clear();
    state.CurrentKey = secret("right");
    found = searchKey(QStringLiteral("/f"), state, asker, rightOpens, {state.CurrentKey});
    EXPECT_EQ(found.kind, KeySearchResult::Opened);
    EXPECT_EQ(tried, (std::vector<Keys> {{"right", "wrong"}}));
    // (A file settled otherwise asking nothing, and a cancel ending the run: the batch's tests.)

    state.clearKeys();
    EXPECT_EQ(plainAll(state.KeyCache()), (Keys {"", ""}));
    EXPECT_FALSE(state.hasKeys());
    EXPECT_EQ(plainAll({state.CurrentKey}), Keys {"right"});
    EncDecTestUser refuse;
    EXPECT_EQ(searchKey(QStringLiteral("/f"), state, refuse, rightOpens).kind, KeySearchResult::Cancelled);
    EXPECT_EQ(refuse.keyAsked, QStringList {QStringLiteral("/f")});
    EncDecTestUser retype;
    retype.keyAnswers = {"right"};
    EXPECT_EQ(searchKey(QStringLiteral("/f"), state, retype, rightOpens).kind, KeySearchResult::Opened);
    EXPECT_EQ(plainAll(state.KeyCache()), (Keys {"", "", "right"}));
}
