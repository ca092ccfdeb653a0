#include "fileutil/FileResult.h"

#include <cstring>

namespace mv {

FileResult FileResult::success()
{
    return {};
}

FileResult FileResult::failure(const QString& step, int error)
{
    FileResult r;
    r.ok = false;
    r.step = step;
    r.error = error;
    // strerror is not thread-safe; strerrordesc_np is (glibc 2.32+) and returns the bare text.
    const char* text = ::strerrordesc_np(error);
    r.reason = text ? QString::fromUtf8(text) : QStringLiteral("error %1").arg(error);
    return r;
}

FileResult FileResult::failure(const QString& step, const QString& reason)
{
    FileResult r;
    r.ok = false;
    r.step = step;
    r.reason = reason;
    return r;
}

QString FileResult::message() const
{
    if (ok)
        return {};
    return step + QStringLiteral(": ") + reason;
}

} // namespace mv
