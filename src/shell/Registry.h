#pragma once

#include <QString>

namespace mv::shell {

// The settings store, kept with the keys, value names and texts of the Windows registry the
// program was designed around. Each hive is a text file under $XDG_CONFIG_HOME/mirravelnock/.
//
// Failures are silent to callers that don't look: a read returns empty text, so every
// reader falls back to its default. The writers return false and registryError() tells why.
// Keys and value names match case-insensitively and keep the case they were written with.
// Key paths are '\'-separated; a leading or trailing '\' is ignored.

enum Hive : quint32 {
    HKEY_CLASSES_ROOT = 0x80000000,
    HKEY_CURRENT_USER = 0x80000001,
};

// The only value type written; SetRegValue accepts and ignores its type argument.
inline constexpr quint32 REG_SZ = 1;

// The company's key, and the program's key that every section hangs from.
extern const QString kCompanyKey; // "Software\Braxmoor Laboratories"
extern const QString kProductKey; // "Software\Braxmoor Laboratories\Mirravelnock!\"

// An empty value name means the key's default value. Returns empty text when the key or
// value is missing, when the value is not a string value, or when the store can't be read.
QString GetRegValue(Hive hive, const QString& keyPath, const QString& valueName);

// Writes a string value whatever `type` says, creating missing keys along the path.
bool SetRegValue(Hive hive, const QString& keyPath, const QString& valueName, quint32 type,
                 const QString& text);

// Deletes the key at `keyPath` (from the hive's root) together with all its sub-keys.
// A key merely sharing a prefix ("Settings2" beside "Settings") is not touched.
bool DeleteRegKey(Hive hive, const QString& keyPath);

bool DeleteRegValue(Hive hive, const QString& keyPath, const QString& valueName);

// The program's own settings: HKEY_CURRENT_USER, key kProductKey + section.
bool SaveSetting(const QString& section, const QString& valueName, const QString& text);
QString GetSetting(const QString& section, const QString& valueName);
bool DeleteSetting(const QString& section, const QString& valueName);

// Why the last registry call on this thread failed or read nothing; empty after a success.
QString registryError();

// The file that holds `hive` (which need not exist yet); empty for an unknown hive.
QString hiveFilePath(Hive hive);

} // namespace mv::shell
