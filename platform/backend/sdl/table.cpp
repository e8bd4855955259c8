// The SDL backend's entry points, for the desktop bootstrap.
#include "backend/desktop/table.h"
#include "backend/sdl/sdl.h"

const BackendTable kSdlBackend = {
    "x11",
    [](bool) { return SdlStartup(); },
    SdlNow,
    SdlTickOrigin,
    SdlPoll,
    SdlWait,
    SdlWake,
    SdlScreenSize,
    SdlWorkArea,
    SdlWindowCreated,
    SdlWindowShown,
    SdlWindowDestroyed,
    SdlWindowPainted,
    SdlBoxOpen,
    SdlBoxAnswered,
    SdlBoxClose,
};
