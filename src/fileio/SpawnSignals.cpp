#include "fileio/SpawnSignals.h"

#include <csignal>

namespace mv::fileio {

void cleanSignalsOnSpawn(posix_spawnattr_t* attributes, short extraFlags)
{
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(attributes, &none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigdefault(attributes, &all);
    posix_spawnattr_setflags(attributes, short(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | extraFlags));
}

} // namespace mv::fileio
