#include "TerminalProgress.h"

#include <cstdio>

#include <unistd.h>

namespace mv::cli {

namespace {
constexpr quint64 kLargeFile = 32ull << 20;
}

TerminalProgress::TerminalProgress(const QString& name, quint64 size)
    : name_(name.toLocal8Bit()), shown_(size >= kLargeFile && ::isatty(STDERR_FILENO))
{
}

TerminalProgress::~TerminalProgress()
{
    if (shown_ && lastPercent_ >= 0)
        std::fputs("\r\033[K", stderr);
}

bool TerminalProgress::update(quint64 done, quint64 total)
{
    if (!shown_ || total == 0)
        return true;
    const int percent = int(done * 100 / total);
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        std::fprintf(stderr, "\r%s  %3d%%", name_.constData(), percent);
        std::fflush(stderr);
    }
    return true;
}

} // namespace mv::cli
