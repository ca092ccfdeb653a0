#pragma once

#include "fileutil/FileResult.h"
#include "shell/RegDocument.h"

#include <QString>

#include <functional>

namespace mv::shell {

// One hive's file in the settings folder, e.g. ~/.config/mirravelnock/HKEY_CURRENT_USER.reg,
// with its lock file beside it (HKEY_CURRENT_USER.reg.lock).
//
// A damaged store (see parseRegText) reads as empty and is moved aside to
// "<name>.bad" (or .bad.1, .bad.2, ... when that exists), never overwritten; the next write
// starts a fresh store. A store that can't be read for another reason (an I/O error, out of
// descriptors) reads as empty too but is left in place, and writes fail rather than
// replacing it.
class HiveStore {
public:
    HiveStore(const QString& dir, const QString& fileName);

    QString filePath() const { return dir_ + QLatin1Char('/') + fileName_; }

    // Under a shared lock. Fails, with the reason, when the store had to be read as empty
    // for any reason other than not existing yet.
    fileutil::FileResult read(RegDocument* doc) const;

    // Read-modify-write under the exclusive lock, so a value another process wrote in the
    // meantime is never lost. `edit` returns whether it changed anything; nothing is written
    // when it didn't.
    fileutil::FileResult modify(const std::function<bool(RegDocument&)>& edit) const;

private:
    enum class Load {
        Ok,
        Damaged,
        Failed
    };

    Load load(RegDocument* doc, fileutil::FileResult* error) const;
    // Moves a damaged store aside and says where, or why not, in the result's note; true
    // when it was moved.
    bool quarantine(fileutil::FileResult& damaged) const;
    void removeLeftoverTemps() const;
    fileutil::FileResult writeDurably(const QByteArray& bytes) const;
    QString lockPath() const { return filePath() + QLatin1String(".lock"); }

    QString dir_;
    QString fileName_;
};

} // namespace mv::shell
