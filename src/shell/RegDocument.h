#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mv::shell {

// One value under a key. A string value holds its text; any other kind (dword, hex, ...)
// is kept as the raw data text that followed "=" in the file, so a rewrite keeps it intact.
struct RegValue {
    QString name; // empty for the key's default value
    bool isString = true;
    QString text; // the string, or the raw data of a non-string value
};

struct RegKey {
    QString path; // components joined by '\', case as first written
    std::vector<RegValue> values;
};

// The keys and values of one hive, in file order. Keys and value names match
// case-insensitively but keep the case they were first written with.
class RegDocument {
public:
    const std::vector<RegKey>& keys() const { return keys_; }

    const RegKey* findKey(const QString& path) const;
    const RegValue* findValue(const QString& path, const QString& name) const;

    // Finds the key or appends it alone, as a file section does.
    RegKey& findOrAddKey(const QString& path);
    // Creates the key and every missing key above it, as writing a value does.
    RegKey& ensureKey(const QString& path);
    // Sets or replaces a value; the name keeps the case it already had.
    void setValue(const QString& path, const RegValue& value);
    static void putValue(RegKey& key, const RegValue& value);
    // Return whether anything changed.
    bool removeValue(const QString& path, const QString& name);
    bool removeKeyTree(const QString& path);

    // Splits a key path into components, dropping a leading or trailing '\'. Returns
    // nothing for a path that names no key: empty, an empty component ("a\\b"), or a
    // control character or lone surrogate, which a section line can't hold.
    static std::optional<QStringList> splitKeyPath(const QString& path);

private:
    RegKey* findKeyMutable(const QString& path);

    std::vector<RegKey> keys_;
};

bool sameRegName(const QString& a, const QString& b);

} // namespace mv::shell
