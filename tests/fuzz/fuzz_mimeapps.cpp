// A mimeapps.list as the desktop or the user left it: reading any key, then setting and removing
// the program's own line, which must read back as set and leave other programs' lines alone.
#include "FuzzCheck.h"
#include "desktop/MimeAppsList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using mv::desktop::MimeAppsList;
    const QString group = MimeAppsList::kDefaultApplications;
    const QString ours = QStringLiteral("image/png");
    const QString other = QStringLiteral("text/plain");
    const QString value = QStringLiteral("mirravelnock.desktop;");

    MimeAppsList list(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString otherBefore = list.value(group, other);
    (void)list.value(MimeAppsList::kAddedAssociations, ours);
    for (const QString& key : list.keys(group))
        MV_FUZZ_CHECK(!key.isEmpty());

    list.setValue(group, ours, value);
    MV_FUZZ_CHECK(list.value(group, ours) == value);
    MV_FUZZ_CHECK(list.value(group, other) == otherBefore);
    // Set twice, the text does not grow: the line found is the line changed.
    const QByteArray once = list.text();
    list.setValue(group, ours, value);
    MV_FUZZ_CHECK(list.text() == once);

    MV_FUZZ_CHECK(list.removeLine(group, ours));
    MV_FUZZ_CHECK(list.value(group, other) == otherBefore);
    return 0;
}
