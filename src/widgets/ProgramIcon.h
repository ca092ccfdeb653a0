// The program's icon, for the windows, the About box and the tray.
#pragma once

#include <QIcon>

namespace mv::widgets {

// Every size drawn for the desktop (16 to 256 pixels), built into the program.
QIcon programIcon();

} // namespace mv::widgets
