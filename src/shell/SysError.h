#pragma once

#include <QString>

#include <cerrno>
#include <cstring>

namespace mv::shell {

// "what: reason" for the current errno, for the store's failure reasons.
inline QString sysError(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace mv::shell
