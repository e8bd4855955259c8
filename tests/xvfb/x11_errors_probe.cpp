// Destroys an SDL window, then makes an X request about it on another connection, as SDL's
// wake-up does when it loses the race with the destruction:
//   x11_errors_probe send   a client message to it: forgiven, exits 0
//   x11_errors_probe map    a request that has no business failing: Xlib reports it, exits 1
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstring>

#include "backend/sdl/x11_errors.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    SdlHandleX11Errors();
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "x11_errors_probe: %s\n", SDL_GetError());
        return 2;
    }
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 64, 64, 0);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info))
        return 2;
    const Window gone = info.info.x11.window;
    SDL_DestroyWindow(window);
    SDL_PumpEvents();

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    if (strcmp(argv[1], "send") == 0) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = gone;
        e.xclient.format = 8;
        XSendEvent(display, gone, False, NoEventMask, &e);
    } else {
        XMapWindow(display, gone);
    }
    XSync(display, False);
    XCloseDisplay(display);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return 0;
}
