// The Secured Access List in the settings store: the section "QuickList" under the program's
// key, one value per field and entry ("Title1", "Path1", "Params1", "Data1", "Title2", ...),
// ended by an empty "Title" after the last entry. Nothing is ever deleted: values past the
// end marker stay as they were and are never read.
//
// Unlike the store the program was designed around, values have no length limit: a long list
// of associated files reads back whole.
#pragma once

#include "fileutil/FileResult.h"
#include "secured/QuickItem.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <mutex>
#include <optional>
#include <vector>

namespace mv::shell {
class RegDocument;
} // namespace mv::shell

namespace mv::secured {

// The key that holds the section: the product key + "QuickList", without a trailing '\'.
QString quickListKeyPath();

// The entries `doc` holds, read up to the first empty or missing "Title" & n. A value that is
// missing or not text reads as empty.
std::vector<StoredQuickItem> readQuickList(const shell::RegDocument& doc);

// Writes "Title" & n, "Path" & n, "Params" & n, "Data" & n for every entry and the empty
// "Title" & (count + 1). Returns whether the document changed.
bool writeQuickList(shell::RegDocument& doc, const std::vector<StoredQuickItem>& items);

class QuickListStore : public QObject {
    Q_OBJECT

public:
    explicit QuickListStore(QObject* parent = nullptr);
    // Writes what is still waiting before it goes.
    ~QuickListStore() override;

    // Reads the list now, after any list still waiting to be written. A store that can't be
    // read gives an empty list, and `why` says why.
    std::vector<StoredQuickItem> load(fileutil::FileResult* why = nullptr);

    // Writes the list on a worker, in one durable change of the store: the setup window saves
    // at every keystroke, and the user-interface thread never waits for the disk. Only the
    // latest list matters; one saved while a write goes on is written after it.
    void save(std::vector<StoredQuickItem> items);

    // Blocks until every list saved so far is written, or has failed; the last failure.
    fileutil::FileResult flush();

signals:
    // A write failed; the list in memory is still whole and the next save tries again.
    void writeFailed(QString reason);

private:
    void writePending();

    std::mutex mutex_;
    std::optional<std::vector<StoredQuickItem>> pending_;              // under mutex_
    bool scheduled_ = false;                                           // under mutex_
    fileutil::FileResult lastWrite_ = fileutil::FileResult::success(); // under mutex_
    QThreadPool pool_;
};

} // namespace mv::secured
