// SIGINT and SIGTERM through a self-pipe, so the wait can watch for them beside the display.
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "backend/wayland/wayland.h"

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

bool WlSignalsStart()
{
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // As SDL does on X11: a signal the parent set to be ignored stays ignored.
    for (int signo : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        if (sigaction(signo, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
            sigaction(signo, &action, nullptr);
    }
    // The audio output still runs on SDL; its own handlers would only queue SDL events that
    // nobody reads here.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return true;
}

int WlSignalFd() { return g_pipe[0]; }

bool WlSignalTaken()
{
    char buffer[64];
    bool any = false;
    while (read(g_pipe[0], buffer, sizeof buffer) > 0)
        any = true;
    return any;
}
