#include "Cancel.h"

#include <csignal>
#include <initializer_list>

namespace mv::cli {

namespace {

volatile std::sig_atomic_t g_stop = 0;

void requestStop(int)
{
    g_stop = 1;
}

} // namespace

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the request is seen between blocks and files.
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}

bool stopRequested()
{
    return g_stop != 0;
}

} // namespace mv::cli
