// The Wayland backend's entry points, for the desktop bootstrap.
#include "backend/desktop/table.h"
#include "backend/wayland/wayland.h"

const BackendTable kWaylandBackend = {
    "wayland",
    WlStartup,
    WlNow,
    WlTickOrigin,
    WlPoll,
    WlWait,
    WlWake,
    WlScreenSize,
    WlWorkArea,
    WlWindowCreated,
    WlWindowShown,
    WlWindowDestroyed,
    WlWindowPainted,
    WlBoxOpen,
    WlBoxAnswered,
    WlBoxClose,
};
