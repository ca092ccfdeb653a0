#pragma once

#include <QString>

namespace mv {

// The outcome of one file operation: success, or the step that failed and why.
struct [[nodiscard]] FileResult {
    bool ok = true;
    QString step;    // what was being done, in plain words: "write zeros", "rename into place"
    QString reason;  // the system's error text (strerror) or our own
    int error = 0;   // errno, 0 when the reason is our own

    static FileResult success();
    static FileResult failure(const QString& step, int error);  // reason = strerror(error)
    static FileResult failure(const QString& step, const QString& reason);

    explicit operator bool() const { return ok; }
    QString message() const;  // "step: reason", empty on success
};

} // namespace mv
