#include "secured/QuickListStore.h"

#include "shell/HiveStore.h"
#include "shell/RegDocument.h"
#include "shell/Registry.h"

#include <QFileInfo>

namespace mv::secured {

using fileutil::FileResult;
using shell::RegDocument;
using shell::RegValue;

namespace {

shell::HiveStore userStore()
{
    // Asked at every use: the settings folder follows the environment.
    const QFileInfo file(shell::hiveFilePath(shell::HKEY_CURRENT_USER));
    return shell::HiveStore(file.absolutePath(), file.fileName());
}

QString valueName(const char* field, int n)
{
    return QLatin1String(field) + QString::number(n);
}

QString storedText(const RegDocument& doc, const QString& key, const QString& name)
{
    const RegValue* v = doc.findValue(key, name);
    return v && v->isString ? v->text : QString();
}

bool put(RegDocument& doc, const QString& key, const QString& name, const QString& text)
{
    const RegValue* old = doc.findValue(key, name);
    if (old && old->isString && old->text == text)
        return false;
    doc.setValue(key, RegValue {name, true, text});
    return true;
}

} // namespace

QString quickListKeyPath()
{
    const auto parts = RegDocument::splitKeyPath(shell::kProductKey + QStringLiteral("QuickList"));
    return parts ? parts->join(QLatin1Char('\\')) : QString();
}

std::vector<StoredQuickItem> readQuickList(const RegDocument& doc)
{
    const QString key = quickListKeyPath();
    std::vector<StoredQuickItem> items;
    for (int n = 1;; ++n) {
        StoredQuickItem item;
        item.Title = storedText(doc, key, valueName("Title", n));
        if (item.Title.isEmpty())
            break;
        item.Path = storedText(doc, key, valueName("Path", n));
        item.Params = storedText(doc, key, valueName("Params", n));
        item.Data = storedText(doc, key, valueName("Data", n));
        items.push_back(std::move(item));
    }
    return items;
}

bool writeQuickList(RegDocument& doc, const std::vector<StoredQuickItem>& items)
{
    const QString key = quickListKeyPath();
    bool changed = false;
    int n = 1;
    for (const StoredQuickItem& item : items) {
        changed = put(doc, key, valueName("Title", n), item.Title) || changed;
        changed = put(doc, key, valueName("Path", n), item.Path) || changed;
        changed = put(doc, key, valueName("Params", n), item.Params) || changed;
        changed = put(doc, key, valueName("Data", n), item.Data) || changed;
        ++n;
    }
    return put(doc, key, valueName("Title", n), QString()) || changed;
}

QuickListStore::QuickListStore(QObject* parent) : QObject(parent)
{
    // One writer, so the lists reach the store in the order they were saved.
    pool_.setMaxThreadCount(1);
}

QuickListStore::~QuickListStore()
{
    (void)flush();
}

std::vector<StoredQuickItem> QuickListStore::load(FileResult* why)
{
    pool_.waitForDone();
    RegDocument doc;
    const FileResult r = userStore().read(&doc);
    if (why)
        *why = r;
    return readQuickList(doc);
}

void QuickListStore::save(std::vector<StoredQuickItem> items)
{
    const std::lock_guard lock(mutex_);
    pending_ = std::move(items);
    if (scheduled_)
        return;
    scheduled_ = true;
    pool_.start([this] { writePending(); });
}

void QuickListStore::writePending()
{
    std::vector<StoredQuickItem> items;
    {
        const std::lock_guard lock(mutex_);
        scheduled_ = false;
        if (!pending_)
            return;
        items = std::move(*pending_);
        pending_.reset();
    }
    const FileResult r = userStore().modify([&](RegDocument& doc) { return writeQuickList(doc, items); });
    {
        const std::lock_guard lock(mutex_);
        lastWrite_ = r;
    }
    if (!r.ok)
        QMetaObject::invokeMethod(
            this, [this, why = fileutil::resultText(r)] { emit writeFailed(why); }, Qt::QueuedConnection);
}

FileResult QuickListStore::flush()
{
    pool_.waitForDone();
    const std::lock_guard lock(mutex_);
    return lastWrite_;
}

} // namespace mv::secured
