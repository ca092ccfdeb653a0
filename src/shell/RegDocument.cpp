#include "shell/RegDocument.h"

#include <algorithm>

namespace mv::shell {

namespace {

const QChar kSep = QLatin1Char('\\');

bool isDescendant(const QString& path, const QString& ancestor)
{
    return path.size() > ancestor.size() && path.at(ancestor.size()) == kSep &&
           sameRegName(path.left(ancestor.size()), ancestor);
}

} // namespace

bool sameRegName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<QStringList> RegDocument::splitKeyPath(const QString& path)
{
    QString trimmed = path;
    if (trimmed.startsWith(kSep))
        trimmed.remove(0, 1);
    if (trimmed.endsWith(kSep))
        trimmed.chop(1);
    // A lone surrogate can't be written as UTF-8, and a section line has no escapes.
    if (trimmed.isEmpty() || !trimmed.isValidUtf16())
        return std::nullopt;
    for (QChar c : trimmed) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    QStringList parts = trimmed.split(kSep);
    if (parts.contains(QString()))
        return std::nullopt;
    return parts;
}

const RegKey* RegDocument::findKey(const QString& path) const
{
    auto it =
        std::find_if(keys_.begin(), keys_.end(), [&](const RegKey& k) { return sameRegName(k.path, path); });
    return it == keys_.end() ? nullptr : &*it;
}

RegKey* RegDocument::findKeyMutable(const QString& path)
{
    return const_cast<RegKey*>(std::as_const(*this).findKey(path));
}

const RegValue* RegDocument::findValue(const QString& path, const QString& name) const
{
    const RegKey* key = findKey(path);
    if (!key)
        return nullptr;
    auto it = std::find_if(key->values.begin(), key->values.end(),
                           [&](const RegValue& v) { return sameRegName(v.name, name); });
    return it == key->values.end() ? nullptr : &*it;
}

RegKey& RegDocument::findOrAddKey(const QString& path)
{
    if (RegKey* key = findKeyMutable(path))
        return *key;
    keys_.push_back(RegKey {path, {}});
    return keys_.back();
}

RegKey& RegDocument::ensureKey(const QString& path)
{
    const QStringList parts = path.split(kSep);
    QString prefix;
    RegKey* key = nullptr;
    for (const QString& part : parts) {
        prefix = prefix.isEmpty() ? part : prefix + kSep + part;
        key = findKeyMutable(prefix);
        if (!key) {
            // Keep the case already used by existing parents.
            const QString parentPath = prefix.left(prefix.size() - part.size());
            keys_.push_back(RegKey {parentPath + part, {}});
            key = &keys_.back();
        }
        prefix = key->path;
    }
    return *key;
}

void RegDocument::setValue(const QString& path, const RegValue& value)
{
    putValue(ensureKey(path), value);
}

void RegDocument::putValue(RegKey& key, const RegValue& value)
{
    for (RegValue& v : key.values) {
        if (sameRegName(v.name, value.name)) {
            v.isString = value.isString;
            v.text = value.text;
            return;
        }
    }
    key.values.push_back(value);
}

bool RegDocument::removeValue(const QString& path, const QString& name)
{
    RegKey* key = findKeyMutable(path);
    if (!key)
        return false;
    const auto before = key->values.size();
    std::erase_if(key->values, [&](const RegValue& v) { return sameRegName(v.name, name); });
    return key->values.size() != before;
}

bool RegDocument::removeKeyTree(const QString& path)
{
    const auto before = keys_.size();
    std::erase_if(keys_,
                  [&](const RegKey& k) { return sameRegName(k.path, path) || isDescendant(k.path, path); });
    return keys_.size() != before;
}

} // namespace mv::shell
