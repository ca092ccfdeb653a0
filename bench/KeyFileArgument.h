// The key of a benchmark run, read from the file named on its command line (a trailing
// newline, as `echo` writes one, is not part of it). Empty when the file cannot be read.
#pragma once

#include "crypto/SecretText.h"

#include <QFile>

#include <optional>

inline std::optional<mv::crypto::SecretText> readKeyFileArgument(const char* path)
{
    QFile keyFile(QString::fromLocal8Bit(path));
    if (!keyFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = keyFile.readAll();
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    auto key = mv::crypto::SecretText::fromBytes(bytes.constData(), size_t(bytes.size()));
    bytes.fill('\0');
    return key;
}
