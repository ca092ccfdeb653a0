// Percentages on standard error while a large file is worked on, only when standard error is
// a terminal: scripts that capture it get only the result lines.
#pragma once

#include <QString>

namespace mv::cli {

class TerminalProgress {
public:
    TerminalProgress(const QString& name, quint64 size);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Fits the engine's progress callback; always goes on.
    bool update(quint64 done, quint64 total);

private:
    QByteArray name_;
    bool shown_ = false;
    int lastPercent_ = -1;
};

} // namespace mv::cli
