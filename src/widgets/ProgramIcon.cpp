#include "widgets/ProgramIcon.h"

// The resource lives in a static library: naming it here makes the linker keep it
// (Q_INIT_RESOURCE has to be used outside any namespace).
static void initIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace mv::widgets {

QIcon programIcon()
{
    initIconResource();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace mv::widgets
