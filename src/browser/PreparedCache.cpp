#include "browser/PreparedCache.h"

#include <QFileInfo>

namespace mv::browser {

QString preparedKey(const PictureRequest& request)
{
    const QFileInfo info(request.path);
    if (!info.exists())
        return {};
    const imaging::DecodeOptions& o = request.options;
    return QStringLiteral("%1\n%2 %3 %4 %5 %6 %7 %8 %9x%10")
        .arg(request.path)
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(int(o.ditherMode))
        .arg(int(o.dctMethod))
        .arg(int(o.jpegDither))
        .arg(int(o.jpegFancyUpsampling))
        .arg(int(o.jpegTwoPassQuantize))
        .arg(o.targetSize.width())
        .arg(o.targetSize.height());
}

SharedOutcome PreparedCache::find(const QString& key)
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().outcome;
        }
    }
    return nullptr;
}

void PreparedCache::insert(const QString& key, SharedOutcome outcome)
{
    if (key.isEmpty() || !outcome || !outcome->shown())
        return;
    const qint64 bytes = outcome->bytesHeld();
    if (bytes > budget_)
        return;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            held_ -= it->bytes;
            entries_.erase(it);
            break;
        }
    }
    entries_.push_front({key, std::move(outcome), bytes});
    held_ += bytes;
    while (held_ > budget_) {
        held_ -= entries_.back().bytes;
        entries_.pop_back();
    }
}

void PreparedCache::clear()
{
    entries_.clear();
    held_ = 0;
}

} // namespace mv::browser
