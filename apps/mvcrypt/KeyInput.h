// Reading the key: from a file, or typed on the terminal without echo. Never from the
// command line, where other users can read it.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::cli {

enum class KeyPurpose {
    Encrypt,
    Decrypt
};

// The key as the engine takes it, or an empty array and *error set.
QByteArray readKeyFile(const QString& path, KeyPurpose purpose, QString* error);
QByteArray askKeyOnTerminal(KeyPurpose purpose, QString* error);

// Empty when the key is acceptable for the purpose; else the reason.
QString checkKey(const QByteArray& key, KeyPurpose purpose);

// Overwrites the key's bytes before the memory is given back.
void forgetKey(QByteArray& key);

} // namespace mv::cli
