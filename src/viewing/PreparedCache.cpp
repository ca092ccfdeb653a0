#include "viewing/PreparedCache.h"

#include <QFileInfo>

namespace mv::viewing {

QString preparedKey(const PictureRequest& request)
{
    const QFileInfo info(request.path);
    if (!info.exists())
        return {};
    const imaging::DecodeOptions& o = request.options;
    // The reduced copy made ahead is for one place: another place is another entry.
    QString place;
    if (const std::optional<DrawPlace>& p = request.place)
        place = QStringLiteral(" %1x%2 %3 %4 %5 %6")
                    .arg(p->areaSize.width())
                    .arg(p->areaSize.height())
                    .arg(p->barThickness)
                    .arg(int(p->bestFit))
                    .arg(p->zoom)
                    .arg(p->devicePixelRatio);
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
               .arg(o.targetSize.height()) +
           place + (request.firstLook ? QStringLiteral(" first look") : QString());
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

} // namespace mv::viewing
