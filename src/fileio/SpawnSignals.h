// A process we start must not inherit our signal state: Qt and the sanitizers block or catch
// signals that the child would then ignore or mishandle. Sets spawn attributes that give the
// child an empty mask and every signal at its default, plus `extraFlags` (POSIX_SPAWN_*).
#pragma once

#include <spawn.h>

namespace mv::fileio {

void cleanSignalsOnSpawn(posix_spawnattr_t* attributes, short extraFlags = 0);

} // namespace mv::fileio
