// X errors that must not end the program.
//
// SDL wakes a thread blocked in SDL_WaitEvent by a client message to the window it waits
// on, sent over a second connection whenever an event is queued: by another thread, and by
// the waiting thread itself for every X event it turns into SDL events during the wait.
// When the program destroys that window at once (a box answered by the key that ended the
// wait, a window closed by the close message that did), the client message can reach the
// server after the window is gone. The wake-up was no longer needed, but Xlib's default
// handler reports the BadWindow and exits with 1.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include "backend/sdl/x11_errors.h"

namespace {

XErrorHandler g_next = nullptr;

int OnXError(Display* display, XErrorEvent* e)
{
    if (e->error_code == BadWindow && e->request_code == X_SendEvent)
        return 0;
    return g_next ? g_next(display, e) : 0;
}

}  // namespace

void SdlHandleX11Errors()
{
    // Installed before SDL opens its connections: SDL chains to the handler it finds, and
    // puts it back when its video ends.
    if (!g_next)
        g_next = XSetErrorHandler(OnXError);
}
