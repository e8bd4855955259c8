// SIGINT and SIGTERM through a self-pipe, so the wait can watch for them beside the display.
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "backend/wayland/wayland.h"

namespace {

int g_pipe[2] = {-1, -1};

// A signal and a wake-up share the pipe; the byte tells them apart.
constexpr char kSignalled = 1, kWoken = 2;

void Send(char byte)
{
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
    errno = saved;
}

void OnSignal(int) { Send(kSignalled); }

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

void WlWakeThroughPipe()
{
    if (g_pipe[1] >= 0)
        Send(kWoken);
}

bool WlSignalTaken(bool* woken)
{
    char buffer[64];
    bool signalled = false;
    ssize_t n;
    while ((n = read(g_pipe[0], buffer, sizeof buffer)) > 0) {
        *woken = true;
        for (ssize_t i = 0; i < n; ++i)
            signalled = signalled || buffer[i] == kSignalled;
    }
    return signalled;
}
