// A ".trashinfo" file as any program may have left it in a trash folder: what is read from it
// comes back the same once written again, so mending a file never changes the place or date.
#include "FuzzCheck.h"
#include "desktop/TrashInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mv::desktop;
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TrashInfo> info = parseTrashInfo(text);
    if (!info)
        return 0;
    MV_FUZZ_CHECK(!info->path.isEmpty());
    const std::optional<TrashInfo> again = parseTrashInfo(trashInfoText(*info));
    MV_FUZZ_CHECK(again && again->path == info->path && again->deletionDate == info->deletionDate);
    return 0;
}
